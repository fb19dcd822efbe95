// The fuzzing corpus of packed modules replayed through the unpacking.
#include "modplug/modulearchive.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <cstring>

using namespace Qt::StringLiterals;

// Every file unpacks without harm and within the bound; a name carrying ".moduleN." gives a
// module of N bytes, ".none." gives nothing.
TEST(ArchiveCorpus, EveryFileUnpacksSafelyAndAsNamed)
{
    constexpr std::size_t limit = 1u << 20;
    const QDir corpus(QStringLiteral(ORVANE_ARCHIVE_CORPUS));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 20);
    const QRegularExpression tag(u"\\.(none|module(\\d+))\\.zip$"_s);
    for (const QString& name : names) {
        const std::string n = name.toStdString();
        QFile f(corpus.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << n;
        const QByteArray raw = f.readAll();
        std::vector<std::byte> bytes(std::size_t(raw.size()));
        std::memcpy(bytes.data(), raw.constData(), bytes.size());
        const std::vector<std::byte> module = orv::ModuleArchive::firstModule(bytes, limit);
        EXPECT_LE(module.size(), limit) << n;

        const QRegularExpressionMatch m = tag.match(name);
        ASSERT_TRUE(m.hasMatch()) << n;
        if (m.captured(1) == u"none"_s)
            EXPECT_TRUE(module.empty()) << n;
        else
            EXPECT_EQ(module.size(), m.captured(2).toULongLong()) << n;
    }
}
