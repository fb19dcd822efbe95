// The fuzzing corpus of the settings file replayed through the reader and the writer.
#include "common/core/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Every file reads without harm; an accepted one, written back, reads back the same; a name
// carrying ".keysN." or ".refused." gives that many keys or a refusal.
TEST(SettingsCorpus, EveryFileReadsSafelyAndAsNamed)
{
    const QDir corpus(QStringLiteral(ORVANE_SETTINGS_CORPUS));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 30);
    const QRegularExpression tag(u"\\.(refused|keys(\\d+))\\.ini$"_s);
    for (const QString& name : names) {
        const std::string n = name.toStdString();
        QFile f(corpus.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << n;
        orv::SettingsDocument doc;
        const bool read = orv::parseSettingsFile(f.readAll(), doc);
        int keys = 0;
        for (const orv::SettingsSection& s : doc.sections)
            keys += int(s.entries.size());
        if (read) {
            const QByteArray written = orv::serializeSettingsFile(doc);
            orv::SettingsDocument again;
            EXPECT_TRUE(orv::parseSettingsFile(written, again)) << n;
            EXPECT_EQ(orv::serializeSettingsFile(again), written) << n;
            for (const orv::SettingsSection& s : doc.sections) {
                const orv::SettingsSection* back = again.find(s.name);
                EXPECT_EQ(back ? back->entries : decltype(s.entries)(), s.entries) << n;
            }
        } else {
            EXPECT_TRUE(doc.sections.isEmpty()) << n;
        }

        const QRegularExpressionMatch m = tag.match(name);
        ASSERT_TRUE(m.hasMatch()) << n;
        if (m.captured(1) == u"refused"_s) {
            EXPECT_FALSE(read) << n;
        } else {
            EXPECT_TRUE(read) << n;
            EXPECT_EQ(keys, m.captured(2).toInt()) << n;
        }
    }
}
