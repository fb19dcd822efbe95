// The built-in language tables: every numbered text exists once, in write order, exactly as written.
#include "app/core/languagetable.h"

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <vector>

using namespace Qt::StringLiterals;

void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toUtf8().replace('\r', "\\r").replace('\n', "\\n").constData() << '"';
}

namespace orv {
namespace {

QString en(int number) { return languageText(Language::English, number); }
QString fr(int number) { return languageText(Language::French, number); }

std::vector<int> expectedWriteOrder()
{
    std::vector<int> numbers;
    const auto span = [&numbers](int first, int last) {
        for (int n = first; n <= last; ++n)
            numbers.push_back(n);
    };
    span(1, 25);
    span(200, 207);
    span(33, 43);
    span(46, 93);
    span(107, 111);
    return numbers;
}

bool isTwoLineText(int number)
{
    return number == 62 || number == 78 || number == 79 || number == 80;
}

// Numbers 1-25, 200-207, 33-43, 46-93, 107-111 in that order, each once, nothing else.
TEST(LanguageTable, HoldsEveryNumberOnceInWriteOrder)
{
    std::vector<int> numbers;
    for (const LanguageText& t : languageTable())
        numbers.push_back(t.number);
    EXPECT_EQ(numbers.size(), 97u);
    EXPECT_EQ(numbers, expectedWriteOrder());
}

// The lookup finds exactly the table's texts; every number outside the table reads as empty.
TEST(LanguageTable, LookupMatchesTableAndUnknownNumbersAreEmpty)
{
    for (const LanguageText& t : languageTable()) {
        EXPECT_EQ(en(t.number), QString::fromUtf16(t.english)) << t.number;
        EXPECT_EQ(fr(t.number), QString::fromUtf16(t.french)) << t.number;
    }
    for (int n : {INT_MIN, -1, 0, 26, 32, 44, 45, 94, 106, 112, 199, 208, INT_MAX}) {
        EXPECT_TRUE(en(n).isNull()) << n;
        EXPECT_TRUE(fr(n).isNull()) << n;
    }
}

// No text is empty; only 33, 34 (four leading spaces) and 90 (one trailing space) have edge
// spaces; at most one "&" accelerator, never at the end.
TEST(LanguageTable, TextsAreNonEmptyWithOnlyTheIntendedEdgeSpaces)
{
    for (const LanguageText& t : languageTable()) {
        for (const QString& s : {QString::fromUtf16(t.english), QString::fromUtf16(t.french)}) {
            EXPECT_FALSE(s.trimmed().isEmpty()) << t.number;
            EXPECT_LE(s.count(u'&'), 1) << t.number << ' ' << s.toStdString();
            EXPECT_FALSE(s.endsWith(u'&')) << t.number;
            const bool leading = t.number == 33 || t.number == 34;
            EXPECT_EQ(s.startsWith(u' '), leading) << t.number << ' ' << s.toStdString();
            EXPECT_EQ(s.endsWith(u' '), t.number == 90) << t.number << ' ' << s.toStdString();
        }
    }
    for (int n : {33, 34}) {
        EXPECT_TRUE(en(n).startsWith(u"    ") && en(n).at(4) != u' ') << n;
        EXPECT_TRUE(fr(n).startsWith(u"    ") && fr(n).at(4) != u' ') << n;
    }
    EXPECT_EQ(en(90), u"Slide Show is playing "_s);
    EXPECT_EQ(fr(90), u"Diaporama: "_s);
}

// 62, 78, 79, 80 are two lines joined by one lone CR; no other text has a line break.
TEST(LanguageTable, OnlyTheTwoLineTextsCarryOneCarriageReturn)
{
    for (const LanguageText& t : languageTable()) {
        for (const QString& s : {QString::fromUtf16(t.english), QString::fromUtf16(t.french)}) {
            EXPECT_EQ(s.count(u'\r'), isTwoLineText(t.number) ? 1 : 0) << t.number;
            EXPECT_FALSE(s.contains(u'\n')) << t.number;
            EXPECT_FALSE(s.startsWith(u'\r') || s.endsWith(u'\r')) << t.number;
        }
    }
    EXPECT_EQ(en(78), u"An error has occured\rSelected drive is not available"_s);
    EXPECT_EQ(fr(78), u"Une erreur s'est produite\rLe lecteur s\u00e9lectionn\u00e9 n'est pas accessible"_s);
    EXPECT_EQ(en(80), u"Chosen file is not a valid Orv Slide Show data !\rPlease retry."_s);
    EXPECT_EQ(fr(80), u"Fichier Diaporama non valide !\rVeuillez r\u00e9essayer."_s);
}

// Text 62 ends with the copyright notice, the same in both languages, and the notice is one line.
TEST(LanguageTable, Text62EndsWithTheCopyrightNotice)
{
    const QString notice = copyrightNotice();
    EXPECT_FALSE(notice.trimmed().isEmpty());
    EXPECT_FALSE(notice.contains(u'\r') || notice.contains(u'\n'));
    EXPECT_EQ(en(62), u"Slide Show Module for Orv\r"_s + notice);
    EXPECT_EQ(fr(62), u"Module de Diaporama pour Orv\r"_s + notice);
}

// Exact texts, accents written as code points so a mis-decoded source file shows here.
TEST(LanguageTable, SpotChecksInBothLanguages)
{
    struct Expected {
        int number;
        const char16_t* english;
        const char16_t* french;
    };
    const Expected expected[] = {
        {1, u"&Quit", u"&Quitter"},
        {7, u"Activate full screen mode", u"Active le mode plein \u00e9cran"},
        {8, u"Visit our site !", u"Visitez notre site"},
        {9, u"Previous directory", u"R\u00e9pertoire pr\u00e9c\u00e9dent"},
        {17, u"&Executable", u"E&x\u00e9cutables"},
        {22, u"&Setup...", u"&Configuration..."},
        {37, u"French", u"Fran\u00e7ais"},
        {54, u"This file can't be read !", u"Ce fichier ne peut \u00eatre lu !"},
        {55, u"Bad file type or file doesn't exist", u"Mauvais type de fichier ou celui-ci n'existe pas"},
        {69, u"Wait for &Keypress", u"Attendre &\u00e9v\u00e9nement"},
        {89, u"Not a 256 colors JASC palette !", u"La palette JASC n'es pas une palette 8 bits !"},
        {107, u"Play avi in full-screen mode ?", u"Jouer l'avi en mode plein \u00e9cran ?"},
        {109, u"&Maximize", u"&Maximiser"},
        {110, u"No printer is set up. Choose one, or a file to print to, with \"Setup...\".",
         u"Aucune imprimante n'est configur\u00e9e. Choisissez-en une, ou un fichier, avec \"Configuration...\"."},
        {200, u"All Supported Files", u"Fichiers Support\u00e9s"},
        {206, u"Pictures Files", u"Images"},
        {207, u"Text Files", u"Fichiers Textes"},
    };
    for (const Expected& e : expected) {
        EXPECT_EQ(en(e.number), QString::fromUtf16(e.english)) << e.number;
        EXPECT_EQ(fr(e.number), QString::fromUtf16(e.french)) << e.number;
    }
    EXPECT_EQ(fr(7).size(), 26); // "é" is one precomposed character
}

// The stored value of the active language.
TEST(LanguageTable, LanguageNames)
{
    EXPECT_EQ(languageName(Language::English), u"English"_s);
    EXPECT_EQ(languageName(Language::French), u"French"_s);
}

QString unescape(const QString& field)
{
    QString out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field.at(i) != u'\\' || i + 1 == field.size()) {
            out += field.at(i);
            continue;
        }
        const QChar next = field.at(++i);
        if (next == u'r')
            out += u'\r';
        else if (next == u'n')
            out += u'\n';
        else if (next == u't')
            out += u'\t';
        else
            out += next;
    }
    return out;
}

// Every entry matches the reviewed golden file, so any edit to the table shows up as a diff.
TEST(LanguageTable, MatchesGoldenFile)
{
    const QString path = QStringLiteral(ORVANE_LANGUAGE_TEXTS);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QString content = QString::fromUtf8(file.readAll());

    struct Row {
        int number;
        QString english;
        QString french;
    };
    std::vector<Row> golden;
    for (const QString& line : content.split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(u'#'))
            continue;
        const QStringList fields = line.split(u'\t');
        ASSERT_EQ(fields.size(), 3) << line.toStdString();
        bool ok = false;
        const int number = fields[0].toInt(&ok);
        ASSERT_TRUE(ok) << line.toStdString();
        golden.push_back({number, unescape(fields[1]), unescape(fields[2])});
    }

    const auto table = languageTable();
    ASSERT_EQ(golden.size(), table.size());
    for (std::size_t i = 0; i < golden.size(); ++i) {
        EXPECT_EQ(table[i].number, golden[i].number) << "row " << i;
        EXPECT_EQ(QString::fromUtf16(table[i].english), golden[i].english) << table[i].number;
        EXPECT_EQ(QString::fromUtf16(table[i].french), golden[i].french) << table[i].number;
    }
}

} // namespace
} // namespace orv
