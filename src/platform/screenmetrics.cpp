#include "platform/screenmetrics.h"

#include <QGuiApplication>
#include <QScreen>

namespace orv {

namespace {
double tppFor(double dpi) { return dpi > 0 ? 1440.0 / dpi : 15.0; }
}

double QtScreenMetrics::twipsPerPixelX() const
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return tppFor(s ? s->logicalDotsPerInchX() : 96.0);
}

double QtScreenMetrics::twipsPerPixelY() const
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return tppFor(s ? s->logicalDotsPerInchY() : 96.0);
}

QSize QtScreenMetrics::screenPixels() const
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().size() : QSize(1024, 768);
}

QRect QtScreenMetrics::availablePixels() const
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(QPoint(0, 0), screenPixels());
}

bool QtScreenMetrics::mayPlaceWindows() const
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace orv
