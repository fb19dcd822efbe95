#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <optional>

namespace orv {

// A stretch of a document's text, in UTF-16 positions as the text box counts them.
struct TextRange {
    qsizetype start = 0;
    qsizetype length = 0;
    friend bool operator==(const TextRange&, const TextRange&) = default;
};

// What the Delete command removes: the selection, or else the character after the caret, a
// CR LF pair and a surrogate pair each counting as one. nullopt at the end of the text.
std::optional<TextRange> deleteRange(QStringView text, TextRange selection);

// The Time/Date text: the regional short date, a space, the regional time (hours, minutes,
// seconds, without the zone); the date alone at exactly midnight.
QString timeDateText(const QDateTime& now, const QLocale& locale);

enum class SearchDirection { Up = 0, Down = 1 };

// The search state the find dialog, Find Next and the search share for the program's life.
struct SearchState {
    QString searchText;  // as typed
    bool searchMatchCase = false;
    SearchDirection searchDirection = SearchDirection::Down;
    qsizetype lastMatchStart = 0;  // the selection start the last search left
    bool searchRestart = false;    // the next search starts exactly at the caret

    // The find dialog opened from the Search menu: its box gets the document's selection when
    // there is one, else the search text; the next search starts at the caret.
    QString openedFromMenu(const QString& selectedText);
    // Find Next with nothing to search for opens the find dialog instead.
    bool findNextOpensDialog() const { return searchText.isEmpty(); }
    // The dialog's Cancel keeps what it shows (its close box keeps nothing).
    void cancelled(const QString& boxText, bool boxMatchCase);
};

struct SearchResult {
    std::optional<TextRange> match;
    QString message;  // "Cannot find ..." when there is no match
};

// Searches the document text from the caret (the selection start), down or up, never wrapping,
// and updates lastMatchStart and restart. A match is selected by the caller; otherwise the
// caller shows the message (OK button, no icon, the application's title) and leaves the
// selection as it is.
SearchResult SearchDocument(SearchState& state, QStringView text, qsizetype selectionStart);

} // namespace orv
