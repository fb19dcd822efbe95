#include "modplugview.h"

#include "modplayerinstance.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <utility>

namespace orv {

namespace {

constexpr QRgb Background = qRgb(16, 20, 28);
constexpr QRgb TitleInk = qRgb(210, 220, 235);
constexpr QRgb TimeInk = qRgb(120, 220, 140);
constexpr QRgb Track = qRgb(40, 48, 64);
constexpr QRgb TraceInk = qRgb(90, 200, 255);
constexpr QRgb Level = qRgb(120, 220, 140);
constexpr QRgb LoudLevel = qRgb(240, 90, 70);
constexpr int FrameMs = 40;

QString clock(int seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

ModPlugView::ModPlugView(const ModPlayerInstance& instance, QWidget* window)
    : QWidget(window), m_instance(instance), m_elapsed(clock(0))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(window->rect());
    window->installEventFilter(this);
    m_timer.setInterval(FrameMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
    layOut();
    show();
}

void ModPlugView::refresh()
{
    m_backgroundValid = false;
    update();
    resume();
}

bool ModPlugView::seen() const
{
    if (!m_shown || !isVisible() || window()->isMinimized())
        return false;
    const QWindow* handle = window()->windowHandle();
    return handle && handle->isExposed();
}

void ModPlugView::resume()
{
    if (!seen())
        return;
    tick();
    if (m_moving && !m_timer.isActive())
        m_timer.start();
}

void ModPlugView::showEvent(QShowEvent*)
{
    m_shown = true;
    // A minimised or unmapped window is seen again only when it is exposed.
    QWindow* handle = window()->windowHandle();
    if (handle != m_watchedWindow) {
        if (m_watchedWindow)
            m_watchedWindow->removeEventFilter(this);
        m_watchedWindow = handle;
        if (handle)
            handle->installEventFilter(this);
    }
    update();
    resume();
}

void ModPlugView::hideEvent(QHideEvent*)
{
    m_shown = false;
    m_timer.stop();
}

void ModPlugView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        layOut();
        update();
    }
    QWidget::changeEvent(event);
}

bool ModPlugView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    } else if (watched == m_watchedWindow && event->type() == QEvent::Expose) {
        if (seen())
            resume();
        else
            m_timer.stop();
    }
    return false;
}

void ModPlugView::resizeEvent(QResizeEvent*)
{
    layOut();
}

void ModPlugView::layOut()
{
    const int w = width();
    const int h = height();
    const int textHeight = std::max(12, h * 2 / 5);
    m_font = font();
    m_font.setPixelSize(std::max(9, h * 3 / 10));
    m_textRect = QRect(4, 0, w - 8, textHeight);
    m_timeWidth = QFontMetrics(m_font, this).horizontalAdvance(m_elapsed) + 8;
    // The clock's ink stays right of where the title is cut off.
    const int timeLeft = m_textRect.right() - m_timeWidth + 1;
    m_timeArea = QRect(timeLeft, 0, w - timeLeft, textHeight + 2);

    // Oscilloscope on the left two thirds, one bar per side on the right.
    const QRect lower(4, textHeight, w - 8, h - textHeight - 3);
    m_scopeRect = QRect(lower.left(), lower.top(), lower.width() * 2 / 3, lower.height());
    // A one-pixel line may round to just outside its box.
    m_scopeArea = m_scopeRect.adjusted(-1, -1, 1, 1);
    const int barsLeft = m_scopeRect.right() + 6;
    const int barsWidth = lower.right() - barsLeft;
    const int barHeight = std::max(2, (lower.height() - 2) / 2);
    for (int side = 0; side < 2; ++side)
        m_tracks[std::size_t(side)] = QRect(barsLeft, lower.top() + side * (barHeight + 2), barsWidth, barHeight);
    m_barsArea = m_tracks[0] | m_tracks[1];
    m_backgroundValid = false;
    traceScope();
}

void ModPlugView::renderBackground()
{
    const qreal ratio = devicePixelRatioF();
    m_background = QPixmap(size() * ratio);
    m_background.setDevicePixelRatio(ratio);
    QPainter p(&m_background);
    p.fillRect(rect(), QColor(Background));
    p.setFont(m_font);

    QString title = QString::fromStdString(m_instance.title()).trimmed();
    QString format = QString::fromStdString(m_instance.format());
    if (m_instance.channels() > 0)
        format += QStringLiteral(", %1 ch").arg(m_instance.channels());
    if (title.isEmpty() && format.isEmpty())
        title = QStringLiteral("(nothing to play)");
    const QString line = format.isEmpty() ? title : title + QStringLiteral(" \u2014 ") + format;
    p.setPen(QColor(TitleInk));
    p.drawText(m_textRect.adjusted(0, 0, -m_timeWidth, 0), Qt::AlignLeft | Qt::AlignVCenter,
               p.fontMetrics().elidedText(line, Qt::ElideRight, m_textRect.width() - m_timeWidth));

    p.setPen(QColor(Track));
    p.drawLine(m_scopeRect.left(), m_scopeRect.center().y(), m_scopeRect.right(), m_scopeRect.center().y());
    for (const QRect& track : m_tracks)
        p.fillRect(track, QColor(Track));
    m_backgroundValid = true;
}

void ModPlugView::setElapsed(int seconds)
{
    m_seconds = seconds;
    m_elapsed = clock(seconds);
    const int timeWidth = QFontMetrics(m_font, this).horizontalAdvance(m_elapsed) + 8;
    if (timeWidth == m_timeWidth) {
        update(m_timeArea);
        return;
    }
    // The title is cut off to make room for the clock.
    layOut();
    update();
}

void ModPlugView::traceScope()
{
    m_trace.clear();
    if (m_scope.empty() || m_scopeRect.width() <= 1)
        return;
    const double mid = m_scopeRect.center().y();
    // Quiet passages are scaled up so the trace always shows the wave's shape.
    float loudest = 0.1f;
    for (const float v : m_scope)
        loudest = std::max(loudest, std::fabs(v));
    const double half = m_scopeRect.height() / 2.0 / double(std::min(loudest, 1.0f));
    const int width = m_scopeRect.width();
    m_trace.reserve(width);
    for (int x = 0; x < width; ++x) {
        const std::size_t at = std::size_t(x) * m_scope.size() / std::size_t(width);
        m_trace.append(QPointF(m_scopeRect.left() + x, mid - std::clamp(double(m_scope[at]), -1.0, 1.0) * half));
    }
}

void ModPlugView::tick()
{
    if (!seen()) {
        m_timer.stop();
        return;
    }
    const ModPlayerInstance::Progress now = m_instance.progress(m_scope);

    const int seconds = int(now.elapsedSeconds);
    if (seconds != m_seconds)
        setElapsed(seconds);

    // Levels fall back slowly so a short peak stays visible for a few frames.
    bool barsMoved = false;
    for (std::size_t i = 0; i < 2; ++i) {
        m_levels[i] = std::max(now.peaks[i], m_levels[i] * 0.85f);
        const int filled = int(std::lround(std::clamp(m_levels[i], 0.0f, 1.0f) * float(m_tracks[i].width())));
        const bool loud = m_levels[i] > 0.9f;
        barsMoved = barsMoved || filled != m_filled[i] || (filled > 0 && loud != m_loud[i]);
        m_filled[i] = filled;
        m_loud[i] = loud;
    }
    if (barsMoved)
        update(m_barsArea);

    const QPolygonF before = std::exchange(m_trace, QPolygonF());
    traceScope();
    if (m_trace != before)
        update(m_scopeArea);

    m_moving = (now.playing && !now.ended) || m_filled[0] > 0 || m_filled[1] > 0;
    if (!m_moving)
        m_timer.stop();
}

void ModPlugView::paintEvent(QPaintEvent* event)
{
    if (!m_backgroundValid || m_background.size() != size() * devicePixelRatioF())
        renderBackground();
    QPainter p(this);
    // Qt clips to the region that changed, so only that much of the picture is copied.
    p.drawPixmap(0, 0, m_background);
    const QRegion& dirty = event->region();
    if (dirty.intersects(m_timeArea)) {
        p.setFont(m_font);
        p.setPen(QColor(TimeInk));
        p.drawText(m_textRect, Qt::AlignRight | Qt::AlignVCenter, m_elapsed);
    }
    if (m_trace.size() > 1 && dirty.intersects(m_scopeArea)) {
        p.setPen(QColor(TraceInk));
        p.drawPolyline(m_trace);
    }
    if (dirty.intersects(m_barsArea)) {
        for (std::size_t side = 0; side < 2; ++side) {
            const QRect& track = m_tracks[side];
            if (m_filled[side] > 0)
                p.fillRect(QRect(track.left(), track.top(), m_filled[side], track.height()),
                           QColor(m_loud[side] ? LoudLevel : Level));
        }
    }
}

} // namespace orv
