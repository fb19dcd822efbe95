#pragma once

// Small helpers the metafile tests share: rendering at 96 dpi and looking at pixels.

#include "pictures/metafile.h"

#include "emfwriter.h"
#include "wmfwriter.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>

namespace orv::test {

inline QImage renderAt96(const QByteArray& data)
{
    const RenderedMetafile m = renderMetafile(data, 96, 96);
    EXPECT_TRUE(m.error.isEmpty()) << m.error.toStdString();
    return m.image;
}

inline bool refused(const QByteArray& data)
{
    const RenderedMetafile m = renderMetafile(data, 96, 96);
    return m.image.isNull() && !m.error.isEmpty();
}

// Close enough to survive antialiasing.
inline ::testing::AssertionResult near(const QImage& image, int x, int y, QColor expected, int tolerance = 24)
{
    if (!image.rect().contains(x, y))
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is outside the picture";
    const QColor c = image.pixelColor(x, y);
    if (std::abs(c.red() - expected.red()) <= tolerance && std::abs(c.green() - expected.green()) <= tolerance
        && std::abs(c.blue() - expected.blue()) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << c.name().toStdString() << ", expected "
                                         << expected.name().toStdString();
}

// Pixels in the box darker than the given grey.
inline int darkPixels(const QImage& image, const QRect& box, int below = 100)
{
    int n = 0;
    const QRect area = box.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < below)
                ++n;
        }
    }
    return n;
}

inline QRect darkArea(const QImage& image, int below = 100)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < below)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// A placeable WMF of one inch at 1000 units: 96 pixels for 1000 units at 96 dpi.
inline WmfWriter inchWmf()
{
    WmfWriter w(QRect(0, 0, 1000, 1000), 1000);
    w.setWindowOrg(QPoint(0, 0));
    w.setWindowExt(QSize(1000, 1000));
    return w;
}

// An EMF of one inch on a 96 dpi reference device: logical units are picture pixels.
inline EmfWriter inchEmf()
{
    return EmfWriter(QRect(0, 0, 2540, 2540));
}

} // namespace orv::test
