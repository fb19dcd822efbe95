#include "editor/toolbarbutton.h"

#include <QMouseEvent>
#include <QPainter>

namespace orv {

ToolbarButton::ToolbarButton(QImage up, QImage down, QWidget* parent)
    : QWidget(parent), up_(std::move(up)), down_(std::move(down))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ToolbarButton::show(const QImage& picture)
{
    if (shown_ == &picture)
        return;
    shown_ = &picture;
    update();
}

void ToolbarButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(rect(), *shown_);
}

void ToolbarButton::mousePressEvent(QMouseEvent* e)
{
    leftPressed_ = e->button() == Qt::LeftButton;
    show(down_);
}

void ToolbarButton::mouseMoveEvent(QMouseEvent* e)
{
    if (!(e->buttons() & Qt::LeftButton))
        return;
    // The left column counts as off the button, the top row as on it.
    const QPointF at = e->position();
    const bool off = at.x() <= 0 || at.x() > width() || at.y() < 0 || at.y() > height();
    show(off ? up_ : down_);
}

void ToolbarButton::mouseReleaseEvent(QMouseEvent* e)
{
    show(up_);
    const bool click = leftPressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    if (e->button() == Qt::LeftButton)
        leftPressed_ = false;
    if (click) {
        // The raised look is on the screen before the command runs (it may open a dialog).
        repaint();
        Q_EMIT clicked();
    }
}

} // namespace orv
