// The fuzzing corpus replayed through the show reader.
#include "slideshow/core/showfile.h"

#include <QDir>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace orv;

namespace {

ShowSettings unusualSettings()
{
    ShowSettings s;
    s.advanceOnKey = false;
    s.advanceOnTimer = true;
    s.interval = SlideInterval::fromMilliseconds(1500);
    s.loop = false;
    return s;
}

} // namespace

// Every file reads without harm; a refused one leaves no entries and the settings as they
// were; an accepted one, written back, reads back the same; a name carrying ".refused80." or
// ".entriesN." gives that.
TEST(ShowCorpus, EveryFileReadsSafelyAndAsNamed)
{
    const QDir corpus(QStringLiteral(ORVANE_SHOW_CORPUS));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 30);
    const QRegularExpression tag(QStringLiteral("\\.(refused|entries)(\\d+)\\.sli$"));
    const ShowSettings current = unusualSettings();
    int checked = 0;
    for (const QString& name : names) {
        const std::string n = name.toStdString();
        const ShowFileRead r = readShowFile(corpus.filePath(name), current);
        if (!r.valid) {
            EXPECT_TRUE(r.entries.isEmpty()) << n;
            EXPECT_EQ(r.settings, current) << n;
        } else {
            const ShowFileRead again = readShowFileBytes(showFileBytes(r.settings, r.entries), ShowSettings());
            EXPECT_TRUE(again.valid) << n;
            EXPECT_EQ(again.entries, r.entries) << n;
            ShowSettings expected = r.settings;
            if (!expected.interval.isText())
                expected.interval = SlideInterval::fromText(expected.interval.fileText().trimmed());
            EXPECT_EQ(again.settings, expected) << n;
        }

        const QRegularExpressionMatch m = tag.match(name);
        ASSERT_TRUE(m.hasMatch()) << n;
        if (m.captured(1) == QLatin1String("refused")) {
            EXPECT_FALSE(r.valid) << n;
            EXPECT_EQ(m.captured(2).toInt(), kNotAShowFileText) << n;
        } else {
            EXPECT_TRUE(r.valid) << n;
            EXPECT_EQ(r.entries.size(), m.captured(2).toInt()) << n;
        }
        ++checked;
    }
    EXPECT_EQ(checked, names.size());
}
