// The sample metafiles render exactly as they did when their references were recorded. The
// references belong to this toolchain (Qt and the fonts the bootstrap installs, the only ones
// this test lets fontconfig see); a deliberate change to the renderer records new ones: run with
// ORVANE_UPDATE_RENDERS=1 and look at them.

#include "pictures/metafile.h"
#include "support/samplesdir.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

namespace {

// Set before the application starts and reads its fonts.
const bool fontsPinned = qputenv("FONTCONFIG_FILE", ORVANE_RENDER_REFERENCES "/fonts.conf");

QString referencePath(const QString& sample)
{
    return QStringLiteral(ORVANE_RENDER_REFERENCES "/") + sample + QStringLiteral(".png");
}

struct Difference
{
    int pixels = 0;
    QRect where;
};

Difference compare(const QImage& a, const QImage& b)
{
    Difference d;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                ++d.pixels;
                d.where |= QRect(x, y, 1, 1);
            }
        }
    }
    return d;
}

} // namespace

TEST(MetafileRenders, SamplesMatchTheirReferencesPixelForPixel)
{
    ASSERT_TRUE(fontsPinned);
    for (const QString& name : {QStringLiteral("drawing.wmf"), QStringLiteral("chart.emf"), QStringLiteral("diagram.emf")}) {
        QFile file(QDir(orv::test::samplesDir()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const orv::RenderedMetafile rendered = orv::renderMetafile(file.readAll(), 96, 96);
        ASSERT_TRUE(rendered.error.isEmpty()) << rendered.error.toStdString();
        const QImage actual = rendered.image.convertToFormat(QImage::Format_RGB32);

        if (qEnvironmentVariableIsSet("ORVANE_UPDATE_RENDERS")) {
            ASSERT_TRUE(actual.save(referencePath(name)));
            continue;
        }
        const QImage expected = QImage(referencePath(name)).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(expected.isNull()) << "no reference " << referencePath(name).toStdString();
        ASSERT_EQ(actual.size(), expected.size()) << name.toStdString();
        const Difference d = compare(actual, expected);
        if (d.pixels > 0) {
            const QString saved = QDir::temp().filePath(QStringLiteral("orvane-render-") + name + QStringLiteral(".png"));
            actual.save(saved);
            ADD_FAILURE() << name.toStdString() << ": " << d.pixels << " pixels differ within (" << d.where.x() << ","
                          << d.where.y() << " " << d.where.width() << "x" << d.where.height() << "); the render is in "
                          << saved.toStdString();
        }
    }
}
