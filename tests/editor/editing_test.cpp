#include "editor/core/editing.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace orv;

namespace {

// A search as the find dialog or Find Next runs it, on a document whose selection the search
// moves, as the window does with the result.
struct Document {
    QString text;
    TextRange selection;
    QStringList messages;

    void search(SearchState& state)
    {
        const SearchResult r = SearchDocument(state, text, selection.start);
        if (r.match)
            selection = *r.match;
        else
            messages.append(r.message);
    }
};

SearchState fromMenu(const QString& text, SearchDirection direction, bool matchCase = false)
{
    SearchState state;
    state.searchDirection = direction;
    state.searchMatchCase = matchCase;
    state.searchText = text;
    state.openedFromMenu(QString());
    return state;
}

} // namespace

TEST(SearchTest, DownFindsEachMatchInTurnAndNeverWraps)
{
    Document doc{u"abcabc"_s, {0, 0}, {}};
    SearchState state = fromMenu(u"abc"_s, SearchDirection::Down);
    doc.search(state);
    EXPECT_EQ(doc.selection, (TextRange{0, 3}));
    doc.search(state);  // Find Next
    EXPECT_EQ(doc.selection, (TextRange{3, 3}));
    doc.search(state);
    EXPECT_EQ(doc.selection, (TextRange{3, 3}));
    EXPECT_EQ(doc.messages, QStringList{u"Cannot find \"abc\""_s});
    EXPECT_EQ(state.lastMatchStart, 3);
    EXPECT_FALSE(state.searchRestart);
}

TEST(SearchTest, UpNeverMatchesAtOrAfterTheCaret)
{
    Document doc{u"abc"_s, {3, 0}, {}};
    SearchState c = fromMenu(u"c"_s, SearchDirection::Up);
    doc.search(c);
    EXPECT_EQ(doc.messages, QStringList{u"Cannot find \"c\""_s});
    EXPECT_EQ(doc.selection, (TextRange{3, 0}));

    SearchState b = fromMenu(u"b"_s, SearchDirection::Up);
    doc.search(b);
    EXPECT_EQ(doc.selection, (TextRange{1, 1}));

    // Repeating goes on before the match: a at 0.
    b.searchText = u"a"_s;
    doc.search(b);
    EXPECT_EQ(doc.selection, (TextRange{0, 1}));

    Document start{u"abcabc"_s, {0, 0}, {}};
    SearchState fresh = fromMenu(u"abc"_s, SearchDirection::Up);
    start.search(fresh);
    EXPECT_EQ(start.messages.size(), 1);

    // A match must fit before the end of the text.
    Document tail{u"xxab"_s, {4, 0}, {}};
    SearchState abc = fromMenu(u"abc"_s, SearchDirection::Up);
    tail.search(abc);
    EXPECT_EQ(tail.messages.size(), 1);
}

TEST(SearchTest, MatchCaseAndTheMessageQuotesTheTextAsTyped)
{
    Document doc{u"ABC"_s, {0, 0}, {}};
    SearchState ignoring = fromMenu(u"abc"_s, SearchDirection::Down);
    doc.search(ignoring);
    EXPECT_EQ(doc.selection, (TextRange{0, 3}));

    Document again{u"ABC"_s, {0, 0}, {}};
    SearchState matching = fromMenu(u"abc"_s, SearchDirection::Down, true);
    again.search(matching);
    EXPECT_EQ(again.messages, QStringList{u"Cannot find \"abc\""_s});
}

// The offset rule: a caret left where the last search put it moves one on, unless the dialog
// was just opened from the menu.
TEST(SearchTest, CaretAtTheLastMatchSkipsItUnlessRestarted)
{
    SearchState state;
    state.searchText = u"x"_s;
    EXPECT_FALSE(SearchDocument(state, u"x"_s, 0).match);  // lastMatchStart starts at 0
    state.openedFromMenu(QString());
    EXPECT_EQ(SearchDocument(state, u"x"_s, 0).match, (TextRange{0, 1}));
}

TEST(SearchTest, CaseIsComparedCharacterByCharacterSoPositionsHold)
{
    // Upper-casing the whole text would turn ß into SS and shift every later position.
    Document doc{u"straße STRASSE Straße"_s, {0, 0}, {}};
    SearchState state = fromMenu(u"strasse"_s, SearchDirection::Down);
    doc.search(state);
    EXPECT_EQ(doc.selection, (TextRange{7, 7}));
    state.searchText = u"STRAßE"_s;
    doc.search(state);
    EXPECT_EQ(doc.selection, (TextRange{15, 6}));
    // Letters beyond the first plane.
    Document deseret{u"x \U00010428\U00010429"_s, {0, 0}, {}};
    SearchState upper = fromMenu(u"\U00010400\U00010401"_s, SearchDirection::Down);
    deseret.search(upper);
    EXPECT_EQ(deseret.selection, (TextRange{2, 4}));
}

TEST(SearchTest, BlocksOfLinesAndPositionsBeyond32767)
{
    Document doc{u"one\ntwo\nthree\ntwo\nthree"_s, {0, 0}, {}};
    SearchState block = fromMenu(u"two\nthree"_s, SearchDirection::Down);
    doc.search(block);
    EXPECT_EQ(doc.selection, (TextRange{4, 9}));
    doc.search(block);
    EXPECT_EQ(doc.selection, (TextRange{14, 9}));

    Document longDoc{QString(70000, u'.') + u"needle"_s + QString(1000, u'.') + u"needle"_s, {0, 0}, {}};
    SearchState needle = fromMenu(u"needle"_s, SearchDirection::Down);
    longDoc.search(needle);
    EXPECT_EQ(longDoc.selection, (TextRange{70000, 6}));
    longDoc.search(needle);
    EXPECT_EQ(longDoc.selection, (TextRange{71006, 6}));
    needle.searchDirection = SearchDirection::Up;
    longDoc.search(needle);
    EXPECT_EQ(longDoc.selection, (TextRange{70000, 6}));
    EXPECT_TRUE(longDoc.messages.isEmpty());
}

TEST(SearchTest, FindDialogStateRules)
{
    SearchState state;
    EXPECT_TRUE(state.findNextOpensDialog());
    state.searchText = u"kept"_s;
    EXPECT_EQ(state.openedFromMenu(QString()), u"kept"_s);
    EXPECT_TRUE(state.searchRestart);
    EXPECT_EQ(state.openedFromMenu(u"line one\nline two"_s), u"line one\nline two"_s);
    state.cancelled(u"typed"_s, true);
    EXPECT_EQ(state.searchText, u"typed"_s);
    EXPECT_TRUE(state.searchMatchCase);
    EXPECT_FALSE(state.findNextOpensDialog());
}

TEST(DeleteTest, RemovesTheSelectionOrOneCharacter)
{
    EXPECT_EQ(deleteRange(u"ab\r\ncd"_s, {2, 0}), (TextRange{2, 2}));
    EXPECT_EQ(deleteRange(u"ab\ncd"_s, {2, 0}), (TextRange{2, 1}));
    EXPECT_EQ(deleteRange(u"abc"_s, {3, 0}), std::nullopt);
    EXPECT_EQ(deleteRange(u""_s, {0, 0}), std::nullopt);
    EXPECT_EQ(deleteRange(u"abcdef"_s, {1, 3}), (TextRange{1, 3}));
    EXPECT_EQ(deleteRange(u"a\r"_s, {1, 0}), (TextRange{1, 1}));
    // Half a character would leave text no file can hold.
    EXPECT_EQ(deleteRange(u"a\U0001F600b"_s, {1, 0}), (TextRange{1, 2}));
}

TEST(TimeDateTest, RegionalDateAndTimeAndTheDateAloneAtMidnight)
{
    const QDate day(2026, 12, 5);
    const QLocale uk(QLocale::English, QLocale::UnitedKingdom);
    EXPECT_EQ(timeDateText(QDateTime(day, QTime(10, 15, 32)), uk), u"05/12/2026 10:15:32"_s);
    EXPECT_EQ(timeDateText(QDateTime(day, QTime(0, 0, 0)), uk), u"05/12/2026"_s);
    EXPECT_EQ(timeDateText(QDateTime(day, QTime(0, 0, 1)), uk), u"05/12/2026 00:00:01"_s);
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QString usText = timeDateText(QDateTime(day, QTime(22, 5, 9)), us);
    EXPECT_TRUE(usText.startsWith(u"12/5/26 10:05:09"_s)) << qPrintable(usText);
    EXPECT_TRUE(usText.endsWith(u"PM"_s)) << qPrintable(usText);
    const QLocale de(QLocale::German, QLocale::Germany);
    EXPECT_EQ(timeDateText(QDateTime(day, QTime(22, 5, 9)), de), u"05.12.26 22:05:09"_s);
}
