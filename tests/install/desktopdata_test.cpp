#include "common/appcontext.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

const QString kAssets = QStringLiteral(ORVANE_ASSETS);

QImage rendered(const QString& svgPath, int size)
{
    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid())
        return {};
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    renderer.render(&p);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// Pixels whose colour or coverage differs by more than an anti-aliasing step.
int differingPixels(const QImage& a, const QImage& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int d = std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q))
                          + std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
            if (d > 24)
                ++count;
        }
    }
    return count;
}

} // namespace

// The desktop scales the vector icon to any size: it must be the same picture as the drawn one,
// gradients and translucent highlights included, not an empty or partial drawing.
TEST(ThemeIcons, ScalableIconDrawsThePictureOfTheLargeOne)
{
    const QImage drawn(kAssets + QStringLiteral("/orvane-256.png"));
    ASSERT_EQ(drawn.size(), QSize(256, 256));
    const QImage vector = rendered(kAssets + QStringLiteral("/orvane.svg"), 256);
    ASSERT_FALSE(vector.isNull()) << "orvane.svg does not parse";
    EXPECT_LT(differingPixels(vector, drawn.convertToFormat(QImage::Format_ARGB32)), 256 * 256 / 200);
}

// The desktop entry, the metadata and the package name the site the program itself opens, and
// the application id is that site's name reversed.
TEST(DesktopData, IdAndHomepageComeFromTheProgramsSite)
{
    EXPECT_EQ(QStringLiteral(ORVANE_SITE), orv::AppContext::SiteAddress);
    QStringList labels = QUrl(orv::AppContext::SiteAddress).host().split(QLatin1Char('.'));
    std::reverse(labels.begin(), labels.end());
    const QString reversed = labels.join(QLatin1Char('.')).replace(QLatin1Char('-'), QLatin1Char('_'));
    EXPECT_TRUE(QStringLiteral(ORVANE_APP_ID).startsWith(reversed + QLatin1Char('.'))) << ORVANE_APP_ID;
}
