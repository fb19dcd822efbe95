// Rule: with standard icons deferred, building the main window's icons loads no image-format
// plug-in until an icon is sized or painted, and the icons are pixel for pixel the style's own.
#include "common/deferredicons.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMenuBar>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleFactory>

#include <gtest/gtest.h>

#include <memory>

namespace {

bool imageFormatPluginLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/imageformats/");
}

QImage pixels(const QIcon& icon, int size)
{
    return icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST(DeferredIcons, StandardIconsAreBuiltAtFirstUseAndLookTheSame)
{
    if (imageFormatPluginLoaded())
        GTEST_SKIP() << "an image-format plug-in was loaded before the test began";
    orv::deferStandardIcons();
    orv::deferStandardIcons(); // a second call keeps the one wrapper
    QStyle* style = QApplication::style();
    ASSERT_NE(dynamic_cast<QProxyStyle*>(style), nullptr);
    ASSERT_EQ(dynamic_cast<QProxyStyle*>(static_cast<QProxyStyle*>(style)->baseStyle()), nullptr);

    // What a main window builds before it shows: a menu bar (its overflow button's icon) and
    // the folder icons.
    auto bar = std::make_unique<QMenuBar>();
    bar->addAction(QStringLiteral("&Quit"));
    const QIcon open = style->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon copy = closed; // copies share the one deferred icon
    EXPECT_FALSE(imageFormatPluginLoaded());

    std::unique_ptr<QStyle> plain(QStyleFactory::create(static_cast<QProxyStyle*>(style)->baseStyle()->name()));
    ASSERT_NE(plain, nullptr);
    for (const int size : {16, 32}) {
        EXPECT_EQ(pixels(open, size), pixels(plain->standardIcon(QStyle::SP_DirOpenIcon), size)) << size;
        EXPECT_EQ(pixels(copy, size), pixels(plain->standardIcon(QStyle::SP_DirClosedIcon), size)) << size;
    }
    EXPECT_FALSE(open.isNull());
    EXPECT_EQ(open.actualSize(QSize(16, 16)), plain->standardIcon(QStyle::SP_DirOpenIcon).actualSize(QSize(16, 16)));
    EXPECT_EQ(open.availableSizes(), plain->standardIcon(QStyle::SP_DirOpenIcon).availableSizes());
    EXPECT_NE(pixels(open, 16), pixels(closed, 16));
}
