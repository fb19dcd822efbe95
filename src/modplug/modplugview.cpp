#include "modplugview.h"

#include "modplayerinstance.h"

#include <QEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <cmath>

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

QString clockText(int seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

ModPlugView::ModPlugView(const ModPlayerInstance& instance, QWidget* window)
    : QWidget(window), m_instance(instance), m_timer(new QTimer(this)), m_elapsed(clockText(0))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(window->rect());
    window->installEventFilter(this);
    m_timer->setObjectName(QStringLiteral("frames"));
    m_timer->setInterval(FrameMs);
    connect(m_timer, &QTimer::timeout, this, [this] { tick(); });
    layOut();
    show();
}

void ModPlugView::refresh()
{
    m_frameValid = false;
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
    if (m_moving && !m_timer->isActive())
        m_timer->start();
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
    m_timer->stop();
}

void ModPlugView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        layOut();
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
            m_timer->stop();
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
    // The clock's ink stays right of where the title is cut off, and above the meters.
    const int timeLeft = m_textRect.right() - m_timeWidth + 1;
    m_timeArea = QRect(timeLeft, 0, w - timeLeft, textHeight) & rect();

    // Oscilloscope on the left two thirds, one bar per side on the right.
    const QRect lower(4, textHeight, w - 8, h - textHeight - 3);
    m_scopeRect = QRect(lower.left(), lower.top(), lower.width() * 2 / 3, lower.height());
    // A trace at full scale rounds to one pixel outside its box.
    m_scopeArea = m_scopeRect.adjusted(0, -1, 0, 1) & rect();
    const int barsLeft = m_scopeRect.right() + 6;
    const int barsWidth = lower.right() - barsLeft;
    const int barHeight = std::max(2, (lower.height() - 2) / 2);
    for (int side = 0; side < 2; ++side)
        m_tracks[std::size_t(side)] = QRect(barsLeft, lower.top() + side * (barHeight + 2), barsWidth, barHeight);
    m_barsArea = (m_tracks[0] | m_tracks[1]) & rect();
    traceRows(m_rows);
    m_frameValid = false;
    update();
}

// Draws the still parts, and the moving ones over them, for a new size, title or clock width.
void ModPlugView::rebuild()
{
    const qreal ratio = devicePixelRatioF();
    m_background = QImage(size() * ratio, QImage::Format_RGB32);
    m_background.setDevicePixelRatio(ratio);
    m_frameValid = true;
    if (m_background.isNull()) {
        m_frame = QImage();
        return;
    }
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
    p.end();

    m_frame = m_background.copy();
    m_frame.setDevicePixelRatio(ratio);
    drawClock();
    drawTrace();
    drawBars();
}

QRect ModPlugView::toDevice(const QRect& area) const
{
    const qreal ratio = m_frame.devicePixelRatio();
    const auto at = [ratio](int v) { return int(std::floor(v * ratio)); };
    return QRect(QPoint(at(area.left()), at(area.top())), QPoint(at(area.right() + 1) - 1, at(area.bottom() + 1) - 1))
        & m_frame.rect();
}

void ModPlugView::restore(const QRect& area)
{
    const QRect r = toDevice(area);
    if (r.isEmpty())
        return;
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::copy_n(reinterpret_cast<const QRgb*>(m_background.constScanLine(y)) + r.left(), r.width(),
                    reinterpret_cast<QRgb*>(m_frame.scanLine(y)) + r.left());
}

void ModPlugView::fill(const QRect& area, QRgb colour)
{
    const QRect r = toDevice(area);
    if (r.isEmpty())
        return;
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::fill_n(reinterpret_cast<QRgb*>(m_frame.scanLine(y)) + r.left(), r.width(), colour);
}

void ModPlugView::drawClock()
{
    if (m_frame.isNull())
        return;
    restore(m_timeArea);
    QPainter p(&m_frame);
    p.setClipRect(m_timeArea);
    p.setFont(m_font);
    p.setPen(QColor(TimeInk));
    p.drawText(m_textRect, Qt::AlignRight | Qt::AlignVCenter, m_elapsed);
}

void ModPlugView::traceRows(std::vector<int>& rows) const
{
    rows.clear();
    if (m_scope.empty() || m_scopeRect.width() <= 1)
        return;
    const double mid = m_scopeRect.center().y();
    // Quiet passages are scaled up so the trace always shows the wave's shape.
    float loudest = 0.1f;
    for (const float v : m_scope)
        loudest = std::max(loudest, std::fabs(v));
    const double half = m_scopeRect.height() / 2.0 / double(std::min(loudest, 1.0f));
    const int width = m_scopeRect.width();
    for (int x = 0; x < width; ++x) {
        const std::size_t at = std::size_t(x) * m_scope.size() / std::size_t(width);
        rows.push_back(int(std::floor(mid - std::clamp(double(m_scope[at]), -1.0, 1.0) * half + 0.5)));
    }
}

void ModPlugView::drawTrace()
{
    restore(m_scopeArea);
    // A line of one pixel: where the wave jumps by more than a row, the column runs up or down to
    // the row next to where the next column starts.
    const int columns = int(m_rows.size());
    for (int i = 0; i < columns; ++i) {
        int top = m_rows[std::size_t(i)];
        int bottom = top;
        if (i + 1 < columns) {
            const int next = m_rows[std::size_t(i) + 1];
            if (next > bottom + 1)
                bottom = next - 1;
            else if (next < top - 1)
                top = next + 1;
        }
        fill(QRect(m_scopeRect.left() + i, top, 1, bottom - top + 1) & m_scopeArea, TraceInk);
    }
}

void ModPlugView::drawBars()
{
    restore(m_barsArea);
    for (std::size_t side = 0; side < 2; ++side) {
        const QRect& track = m_tracks[side];
        fill(QRect(track.left(), track.top(), m_filled[side], track.height()), m_loud[side] ? LoudLevel : Level);
    }
}

void ModPlugView::tick()
{
    if (!seen()) {
        m_timer->stop();
        return;
    }
    const ModPlayerInstance::Progress now = m_instance.progress(m_scope);
    if (!m_frameValid)
        rebuild();
    QRegion changed;

    const int seconds = int(now.elapsedSeconds);
    if (seconds != m_seconds) {
        m_seconds = seconds;
        m_elapsed = clockText(seconds);
        if (QFontMetrics(m_font, this).horizontalAdvance(m_elapsed) + 8 != m_timeWidth) {
            // The title is cut off to make room for the clock.
            layOut();
            rebuild();
        } else {
            drawClock();
            changed += m_timeArea;
        }
    }

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
    if (barsMoved) {
        drawBars();
        changed += m_barsArea;
    }

    traceRows(m_nextRows);
    if (m_nextRows != m_rows) {
        m_rows.swap(m_nextRows);
        drawTrace();
        changed += m_scopeArea;
    }
    // A frame of an animation: painted now, in one go, rather than through a posted request.
    if (!changed.isEmpty())
        repaint(changed);

    m_moving = (now.playing && !now.ended) || m_filled[0] > 0 || m_filled[1] > 0;
    if (!m_moving)
        m_timer->stop();
}

void ModPlugView::paintEvent(QPaintEvent*)
{
    if (!m_frameValid || m_frame.size() != size() * devicePixelRatioF())
        rebuild();
    QPainter p(this);
    // Qt clips to the region that changed, so only that much of the picture is copied.
    p.drawImage(0, 0, m_frame);
}

} // namespace orv
