// The fuzzing corpus replayed through both readers.
#include "palette/core/palettereaders.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace orv;

namespace {

void expectSound(const PaletteRead& r, const QString& name)
{
    const std::string n = name.toStdString();
    if (r.refused()) {
        EXPECT_TRUE(r.refusal == 87 || r.refusal == 88 || r.refusal == 89) << n;
        EXPECT_TRUE(r.entries.isEmpty()) << n;
    }
    EXPECT_LE(r.entries.size(), 256) << n;
}

} // namespace

// Every file goes through both readers without harm; a file whose name carries ".refusedNN."
// or ".entriesNNN." gives that from the reader its suffix picks.
TEST(PaletteCorpus, EveryFileReadsSafelyAndAsNamed)
{
    const QDir corpus(QStringLiteral(ORVANE_PALETTE_CORPUS));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 20);
    const QRegularExpression tag(QStringLiteral("\\.(refused|entries)(\\d+)\\."));
    int checked = 0;
    for (const QString& name : names) {
        const QString path = corpus.filePath(name);
        const PaletteRead bitmap = MakeBMP256(path);
        const PaletteRead jasc = MakeJASC(path);
        expectSound(bitmap, name);
        expectSound(jasc, name);
        if (!bitmap.refused()) {
            EXPECT_EQ(bitmap.entries.size(), 256) << name.toStdString();
            for (const PaletteEntry& e : bitmap.entries)
                ASSERT_TRUE(e.red >= 0 && e.red <= 255 && e.green >= 0 && e.green <= 255 && e.blue >= 0 && e.blue <= 255);
        }

        const QRegularExpressionMatch m = tag.match(name);
        const PaletteKind kind = paletteKindOf(name);
        if (!m.hasMatch() || kind == PaletteKind::None)
            continue;
        const PaletteRead& r = kind == PaletteKind::Bitmap ? bitmap : jasc;
        if (m.captured(1) == QLatin1String("refused"))
            EXPECT_EQ(r.refusal, m.captured(2).toInt()) << name.toStdString();
        else
            EXPECT_EQ(r.entries.size(), m.captured(2).toInt()) << name.toStdString();
        ++checked;
    }
    EXPECT_GE(checked, 20);
}
