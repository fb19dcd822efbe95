#include "common/deferredicons.h"

#include <QApplication>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QThreadPool>
#include <QWidget>

namespace orv {

namespace {

// Stands for one standard icon of `style` and asks the style for it at the first use.
class DeferredStandardIcon final : public QIconEngine
{
public:
    DeferredStandardIcon(QStyle* style, QStyle::StandardPixmap which, const QWidget* widget)
        : style_(style), which_(which), widget_(const_cast<QWidget*>(widget))
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        // `size` comes in device pixels; QIcon takes it in logical ones with the ratio.
        return icon().pixmap(scale > 0 ? size / scale : size, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QString iconName() override { return icon().name(); }
    bool isNull() override { return icon().isNull(); }
    QString key() const override { return QStringLiteral("orvane-deferred-standard-icon"); }
    QIconEngine* clone() const override
    {
        auto* copy = new DeferredStandardIcon(style_.data(), which_, widget_.data());
        copy->icon_ = icon_;
        copy->resolved_ = resolved_;
        return copy;
    }

private:
    const QIcon& icon()
    {
        if (!resolved_) {
            resolved_ = true;
            QStyle* style = style_ ? style_.data() : QApplication::style();
            icon_ = style->standardIcon(which_, nullptr, widget_.data());
        }
        return icon_;
    }

    QPointer<QStyle> style_;
    QStyle::StandardPixmap which_;
    QPointer<QWidget> widget_; // only read; QPointer takes no const

    QIcon icon_;
    bool resolved_ = false;
};

class DeferredIconStyle final : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override
    {
        // An option can say more than the widget (its direction, say) and lives only for
        // this call: such icons are built at once.
        if (option)
            return QProxyStyle::standardIcon(which, option, widget);
        return QIcon(new DeferredStandardIcon(baseStyle(), which, widget));
    }
};

} // namespace

void deferStandardIcons()
{
    if (dynamic_cast<DeferredIconStyle*>(QApplication::style()))
        return;
    // The style the application would use (honouring -style and QT_STYLE_OVERRIDE) becomes
    // the wrapped one; the proxy takes it over from the application.
    QApplication::setStyle(new DeferredIconStyle(QApplication::style()));
}

void warmImageFormats()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    // The global pool is waited for when the application ends, so no load outlives it.
    QThreadPool::globalInstance()->start([] { QImageReader::supportedImageFormats(); });
}

} // namespace orv
