#pragma once

#include "common/core/prompts.h"
#include "slideshow/core/showfile.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

class QIODevice;

namespace orv {

// A message the slide-show editor shows: its text number, its title's text number (0: the
// application's name), icon and buttons. Texts holding a CR show it as a line break.
struct EditorMessage {
    int text = 0;
    int title = 0;
    PromptIcon icon = PromptIcon::None;
    PromptButtons buttons = PromptButtons::Ok;
};
// Closing a non-empty show with unsaved changes.
inline constexpr EditorMessage kSaveChangesMessage{79, 0, PromptIcon::Question, PromptButtons::YesNoCancel};
// Open of a file that is no show.
inline constexpr EditorMessage kNotAShowFileMessage{kNotAShowFileText, kNotAShowFileTitle, PromptIcon::Critical,
                                                    PromptButtons::Ok};
// Play of an empty show.
inline constexpr EditorMessage kNothingToPlayMessage{82, 83, PromptIcon::Exclamation, PromptButtons::Ok};
// Save of an empty show (no dialog opens).
inline constexpr EditorMessage kNothingToSaveMessage{83, 0, PromptIcon::Exclamation, PromptButtons::Ok};
// An interval answer that is no positive number.
inline constexpr EditorMessage kInvalidIntervalMessage{84, 0, PromptIcon::Critical, PromptButtons::Ok};

// The interval prompt: its question and title.
inline constexpr int kIntervalPromptText = 85;
inline constexpr int kIntervalTitleText = 86;

// The proposed text of the interval prompt: the interval in seconds in the user's number
// format (5000 gives "5", 2500 gives "2.5"); "5" when the interval is no positive number.
QString intervalPromptText(const SlideInterval& interval, const QLocale& locale);

// What an answer to the interval prompt gives. Cancel (nullopt) and an empty answer take
// 5 seconds; a positive number of seconds in the user's number format (or with a decimal
// point) becomes milliseconds, fractions allowed. Anything else, zero and negative numbers
// included, is refused: the caller shows kInvalidIntervalMessage and the interval stays.
struct IntervalAnswer {
    bool accepted = false;
    SlideInterval interval;
};
IntervalAnswer intervalFromAnswer(const std::optional<QString>& answer, const QLocale& locale);

// The show as the editor holds it: its entries in list order, its settings and whether it has
// unsaved changes. The editor window binds its list and menu items to this and asks it what
// each command does; nothing here shows a dialog.
class ShowEditorState {
public:
    // A new show: no entries, default settings, 5000 ms, nothing unsaved.
    void reset();

    const QStringList& entries() const { return entries_; }
    // The number of entries the editor counts, and the position the next added one takes.
    int chosenCount() const { return static_cast<int>(entries_.size()); }
    // True when the show has no unsaved changes.
    bool showSaved() const { return showSaved_; }

    const ShowSettings& settings() const { return settings_; }
    void setSettings(const ShowSettings& s) { settings_ = s; }

    // Appends folder + name for each of `names` (the selected files, in list order). Afterwards
    // a non-empty show counts as changed, even when nothing was selected.
    void add(const QString& folder, const QStringList& names);
    // Appends every listed file; the show counts as changed when the file list was not empty.
    void addAll(const QString& folder, const QStringList& listedNames);
    // Removes the entries at the selected rows (any order; rows out of range are ignored).
    // A show left non-empty counts as changed.
    void remove(const QList<int>& selectedRows);
    // Empties a non-empty show and marks it changed; an empty one is left alone.
    void removeAll();

    // The key and timer items are inverted together whichever is chosen, so the two modes
    // swap. toggleTimerMode returns true when timer mode is now chosen: ask for the interval.
    void toggleKeyMode();
    bool toggleTimerMode();
    void toggleLoop() { settings_.loop = !settings_.loop; }
    void togglePointer() { settings_.showPointer = !settings_.showPointer; }
    void toggleFileName() { settings_.showFileName = !settings_.showFileName; }
    // Applies the interval prompt's answer; false when it is refused (kInvalidIntervalMessage).
    bool answerInterval(const std::optional<QString>& answer, const QLocale& locale);

    // Save needs entries (else kNothingToSaveMessage, no dialog).
    bool canSave() const { return !entries_.isEmpty(); }
    // Writes the show; once it is written the show counts as saved. A failed save leaves it
    // unsaved and the old file intact; the caller reports ShowSave::message().
    ShowSave save(const QString& path);

    // Replaces the entries and settings by the file's. The list is emptied before the file is
    // examined, so a refused file (false: kNotAShowFileMessage) leaves it empty with the
    // settings unchanged. The unsaved-changes state stays as it was.
    bool open(const QString& path);
    bool open(QIODevice& in);

    // Closing asks kSaveChangesMessage only for a non-empty show with unsaved changes.
    bool asksBeforeClosing() const { return !entries_.isEmpty() && !showSaved_; }
    // Play needs entries (else kNothingToPlayMessage).
    bool canPlay() const { return !entries_.isEmpty(); }

private:
    void applyRead(const ShowFileRead& r);
    QString entryPath(const QString& folder, const QString& name) const;

    QStringList entries_;
    ShowSettings settings_;
    bool showSaved_ = true;
};

} // namespace orv
