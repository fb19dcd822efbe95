#include "modplugview.h"

#include "modplayerinstance.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace orv {

ModPlugView::ModPlugView(const ModPlayerInstance& instance, QWidget* window)
    : QWidget(window), instance_(instance)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(window->rect());
    window->installEventFilter(this);
    timer_.setInterval(40);
    connect(&timer_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    timer_.start();
    show();
}

bool ModPlugView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return false;
}

void ModPlugView::paintEvent(QPaintEvent*)
{
    const ModPlayerInstance::Snapshot s = instance_.snapshot();
    // Levels fall back slowly so a short peak stays visible for a few frames.
    for (std::size_t i = 0; i < 2; ++i)
        levels_[i] = std::max(s.peaks[i], levels_[i] * 0.85f);

    QPainter p(this);
    p.fillRect(rect(), QColor(16, 20, 28));
    const int w = width();
    const int h = height();
    const int textHeight = std::max(12, h * 2 / 5);
    QFont font = p.font();
    font.setPixelSize(std::max(9, h * 3 / 10));
    p.setFont(font);

    const int seconds = int(s.elapsedSeconds);
    const QString elapsed = QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    QString title = QString::fromStdString(s.title).trimmed();
    QString format = QString::fromStdString(s.format);
    if (s.channels > 0)
        format += QStringLiteral(", %1 ch").arg(s.channels);
    if (title.isEmpty() && format.isEmpty())
        title = QStringLiteral("(nothing to play)");
    const QString line = format.isEmpty() ? title : title + QStringLiteral(" \u2014 ") + format;

    const QRect textRect(4, 0, w - 8, textHeight);
    p.setPen(QColor(210, 220, 235));
    const int timeWidth = p.fontMetrics().horizontalAdvance(elapsed) + 8;
    p.drawText(textRect.adjusted(0, 0, -timeWidth, 0), Qt::AlignLeft | Qt::AlignVCenter,
               p.fontMetrics().elidedText(line, Qt::ElideRight, textRect.width() - timeWidth));
    p.setPen(QColor(120, 220, 140));
    p.drawText(textRect, Qt::AlignRight | Qt::AlignVCenter, elapsed);

    // Oscilloscope on the left two thirds, one bar per side on the right.
    const QRect lower(4, textHeight, w - 8, h - textHeight - 3);
    const QRect scopeRect(lower.left(), lower.top(), lower.width() * 2 / 3, lower.height());
    p.setPen(QColor(40, 48, 64));
    p.drawLine(scopeRect.left(), scopeRect.center().y(), scopeRect.right(), scopeRect.center().y());
    if (!s.scope.empty() && scopeRect.width() > 1) {
        QPainterPath path;
        const double mid = scopeRect.center().y();
        // Quiet passages are scaled up so the trace always shows the wave's shape.
        float loudest = 0.1f;
        for (const float v : s.scope)
            loudest = std::max(loudest, std::fabs(v));
        const double half = scopeRect.height() / 2.0 / double(std::min(loudest, 1.0f));
        for (int x = 0; x < scopeRect.width(); ++x) {
            const std::size_t at = std::size_t(x) * s.scope.size() / std::size_t(scopeRect.width());
            const double y = mid - std::clamp(double(s.scope[at]), -1.0, 1.0) * half;
            if (x == 0)
                path.moveTo(scopeRect.left(), y);
            else
                path.lineTo(scopeRect.left() + x, y);
        }
        p.setPen(QColor(90, 200, 255));
        p.drawPath(path);
    }
    const int barsLeft = scopeRect.right() + 6;
    const int barsWidth = lower.right() - barsLeft;
    const int barHeight = std::max(2, (lower.height() - 2) / 2);
    for (int side = 0; side < 2; ++side) {
        const QRect track(barsLeft, lower.top() + side * (barHeight + 2), barsWidth, barHeight);
        p.fillRect(track, QColor(40, 48, 64));
        const int filled = int(std::lround(std::clamp(levels_[std::size_t(side)], 0.0f, 1.0f) * float(track.width())));
        p.fillRect(QRect(track.left(), track.top(), filled, track.height()),
                   levels_[std::size_t(side)] > 0.9f ? QColor(240, 90, 70) : QColor(120, 220, 140));
    }
}

} // namespace orv
