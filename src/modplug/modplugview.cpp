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
// Ten frames a second. Each one costs the program about 0.4 ms of processor time whatever is
// drawn: Qt's repaint, and a round trip to the X server before the shared picture may be
// written again. At 25 a second that alone was 1% of a core.
constexpr int FrameMs = 100;
// How much of a level is left after a frame: about 1.7% after a second, whatever the frame rate.
const float LevelKeptPerFrame = float(std::pow(0.017, FrameMs / 1000.0));

QString clockText(int seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

ModPlugView::ModPlugView(const ModPlayerInstance& instance, QWidget* window)
    : QWidget(window), instance_(instance), timer_(new QTimer(this)), elapsed_(clockText(0))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(window->rect());
    window->installEventFilter(this);
    timer_->setObjectName(QStringLiteral("frames"));
    timer_->setInterval(FrameMs);
    connect(timer_, &QTimer::timeout, this, [this] { tick(); });
    layOut();
    show();
}

void ModPlugView::refresh()
{
    frameValid_ = false;
    update();
    resume();
}

bool ModPlugView::seen() const
{
    if (!shown_ || !isVisible() || window()->isMinimized())
        return false;
    const QWindow* handle = window()->windowHandle();
    return handle && handle->isExposed();
}

void ModPlugView::resume()
{
    if (!seen())
        return;
    tick();
    if (moving_ && !timer_->isActive())
        timer_->start();
}

void ModPlugView::showEvent(QShowEvent*)
{
    shown_ = true;
    // A minimised or unmapped window is seen again only when it is exposed.
    QWindow* handle = window()->windowHandle();
    if (handle != watchedWindow_) {
        if (watchedWindow_)
            watchedWindow_->removeEventFilter(this);
        watchedWindow_ = handle;
        if (handle)
            handle->installEventFilter(this);
    }
    update();
    resume();
}

void ModPlugView::hideEvent(QHideEvent*)
{
    shown_ = false;
    timer_->stop();
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
    } else if (watched == watchedWindow_ && event->type() == QEvent::Expose) {
        if (seen())
            resume();
        else
            timer_->stop();
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
    font_ = font();
    font_.setPixelSize(std::max(9, h * 3 / 10));
    textRect_ = QRect(4, 0, w - 8, textHeight);
    timeWidth_ = QFontMetrics(font_, this).horizontalAdvance(elapsed_) + 8;
    // The clock's ink stays right of where the title is cut off, and above the meters.
    const int timeLeft = textRect_.right() - timeWidth_ + 1;
    timeArea_ = QRect(timeLeft, 0, w - timeLeft, textHeight) & rect();

    // Oscilloscope on the left two thirds, one bar per side on the right.
    const QRect lower(4, textHeight, w - 8, h - textHeight - 3);
    scopeRect_ = QRect(lower.left(), lower.top(), lower.width() * 2 / 3, lower.height());
    // A trace at full scale rounds to one pixel outside its box.
    scopeArea_ = scopeRect_.adjusted(0, -1, 0, 1) & rect();
    const int barsLeft = scopeRect_.right() + 6;
    const int barsWidth = lower.right() - barsLeft;
    const int barHeight = std::max(2, (lower.height() - 2) / 2);
    for (int side = 0; side < 2; ++side)
        tracks_[std::size_t(side)] = QRect(barsLeft, lower.top() + side * (barHeight + 2), barsWidth, barHeight);
    barsArea_ = (tracks_[0] | tracks_[1]) & rect();
    traceRows(rows_);
    frameValid_ = false;
    update();
}

// Draws the still parts, and the moving ones over them, for a new size, title or clock width.
void ModPlugView::rebuild()
{
    const qreal ratio = devicePixelRatioF();
    background_ = QImage(size() * ratio, QImage::Format_RGB32);
    background_.setDevicePixelRatio(ratio);
    frameValid_ = true;
    if (background_.isNull()) {
        frame_ = QImage();
        return;
    }
    QPainter p(&background_);
    p.fillRect(rect(), QColor(Background));
    p.setFont(font_);

    QString title = QString::fromStdString(instance_.title()).trimmed();
    QString format = QString::fromStdString(instance_.format());
    if (instance_.channels() > 0)
        format += QStringLiteral(", %1 ch").arg(instance_.channels());
    if (title.isEmpty() && format.isEmpty())
        title = QStringLiteral("(nothing to play)");
    const QString line = format.isEmpty() ? title : title + QStringLiteral(" \u2014 ") + format;
    p.setPen(QColor(TitleInk));
    p.drawText(textRect_.adjusted(0, 0, -timeWidth_, 0), Qt::AlignLeft | Qt::AlignVCenter,
               p.fontMetrics().elidedText(line, Qt::ElideRight, textRect_.width() - timeWidth_));

    p.setPen(QColor(Track));
    p.drawLine(scopeRect_.left(), scopeRect_.center().y(), scopeRect_.right(), scopeRect_.center().y());
    for (const QRect& track : tracks_)
        p.fillRect(track, QColor(Track));
    p.end();

    frame_ = background_.copy();
    frame_.setDevicePixelRatio(ratio);
    drawClock();
    drawTrace();
    drawBars();
}

QRect ModPlugView::toDevice(const QRect& area) const
{
    const qreal ratio = frame_.devicePixelRatio();
    const auto at = [ratio](int v) { return int(std::floor(v * ratio)); };
    return QRect(QPoint(at(area.left()), at(area.top())), QPoint(at(area.right() + 1) - 1, at(area.bottom() + 1) - 1))
        & frame_.rect();
}

void ModPlugView::restore(const QRect& area)
{
    const QRect r = toDevice(area);
    if (r.isEmpty())
        return;
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::copy_n(reinterpret_cast<const QRgb*>(background_.constScanLine(y)) + r.left(), r.width(),
                    reinterpret_cast<QRgb*>(frame_.scanLine(y)) + r.left());
}

void ModPlugView::fill(const QRect& area, QRgb colour)
{
    const QRect r = toDevice(area);
    if (r.isEmpty())
        return;
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::fill_n(reinterpret_cast<QRgb*>(frame_.scanLine(y)) + r.left(), r.width(), colour);
}

void ModPlugView::drawClock()
{
    if (frame_.isNull())
        return;
    restore(timeArea_);
    QPainter p(&frame_);
    p.setClipRect(timeArea_);
    p.setFont(font_);
    p.setPen(QColor(TimeInk));
    p.drawText(textRect_, Qt::AlignRight | Qt::AlignVCenter, elapsed_);
}

void ModPlugView::traceRows(std::vector<int>& rows) const
{
    rows.clear();
    if (scope_.empty() || scopeRect_.width() <= 1)
        return;
    const double mid = scopeRect_.center().y();
    // Quiet passages are scaled up so the trace always shows the wave's shape.
    float loudest = 0.1f;
    for (const float v : scope_)
        loudest = std::max(loudest, std::fabs(v));
    const double half = scopeRect_.height() / 2.0 / double(std::min(loudest, 1.0f));
    const int width = scopeRect_.width();
    for (int x = 0; x < width; ++x) {
        const std::size_t at = std::size_t(x) * scope_.size() / std::size_t(width);
        rows.push_back(int(std::floor(mid - std::clamp(double(scope_[at]), -1.0, 1.0) * half + 0.5)));
    }
}

void ModPlugView::drawTrace()
{
    restore(scopeArea_);
    // A line of one pixel: where the wave jumps by more than a row, the column runs up or down to
    // the row next to where the next column starts.
    const int columns = int(rows_.size());
    for (int i = 0; i < columns; ++i) {
        int top = rows_[std::size_t(i)];
        int bottom = top;
        if (i + 1 < columns) {
            const int next = rows_[std::size_t(i) + 1];
            if (next > bottom + 1)
                bottom = next - 1;
            else if (next < top - 1)
                top = next + 1;
        }
        fill(QRect(scopeRect_.left() + i, top, 1, bottom - top + 1) & scopeArea_, TraceInk);
    }
}

void ModPlugView::drawBars()
{
    restore(barsArea_);
    for (std::size_t side = 0; side < 2; ++side) {
        const QRect& track = tracks_[side];
        fill(QRect(track.left(), track.top(), filled_[side], track.height()), loud_[side] ? LoudLevel : Level);
    }
}

void ModPlugView::tick()
{
    if (!seen()) {
        timer_->stop();
        return;
    }
    const ModPlayerInstance::Progress now = instance_.progress(scope_);
    if (!frameValid_)
        rebuild();
    // The meters and the trace sit side by side: one rectangle covers both, which Qt handles
    // for less than a region. The clock, above the title's line, is added only when it moves.
    QRect moved;
    bool clockMoved = false;

    const int seconds = int(now.elapsedSeconds);
    if (seconds != seconds_) {
        seconds_ = seconds;
        elapsed_ = clockText(seconds);
        if (QFontMetrics(font_, this).horizontalAdvance(elapsed_) + 8 != timeWidth_) {
            // The title is cut off to make room for the clock.
            layOut();
            rebuild();
        } else {
            drawClock();
            clockMoved = true;
        }
    }

    // Levels fall back slowly so a short peak stays visible for a few frames.
    bool barsMoved = false;
    for (std::size_t i = 0; i < 2; ++i) {
        levels_[i] = std::max(now.peaks[i], levels_[i] * LevelKeptPerFrame);
        const int filled = int(std::lround(std::clamp(levels_[i], 0.0f, 1.0f) * float(tracks_[i].width())));
        const bool loud = levels_[i] > 0.9f;
        barsMoved = barsMoved || filled != filled_[i] || (filled > 0 && loud != loud_[i]);
        filled_[i] = filled;
        loud_[i] = loud;
    }
    if (barsMoved) {
        drawBars();
        moved |= barsArea_;
    }

    traceRows(nextRows_);
    if (nextRows_ != rows_) {
        rows_.swap(nextRows_);
        drawTrace();
        moved |= scopeArea_;
    }
    // A frame of an animation: painted now, in one go, rather than through a posted request.
    if (clockMoved)
        repaint(QRegion(moved) + timeArea_);
    else if (!moved.isEmpty())
        repaint(moved);

    moving_ = (now.playing && !now.ended) || filled_[0] > 0 || filled_[1] > 0;
    if (!moving_)
        timer_->stop();
}

void ModPlugView::paintEvent(QPaintEvent*)
{
    if (!frameValid_ || frame_.size() != size() * devicePixelRatioF())
        rebuild();
    QPainter p(this);
    // Qt clips to the region that changed, so only that much of the picture is copied.
    p.drawImage(0, 0, frame_);
}

} // namespace orv
