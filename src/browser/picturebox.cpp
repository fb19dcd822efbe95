#include "browser/picturebox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

namespace orv {

PictureBox::PictureBox(QWidget* parent) : QFrame(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
}

void PictureBox::setPicture(const QImage& image, QSize himetric)
{
    image_ = image;
    himetric_ = himetric;
    offset_ = QPoint();
    update();
}

void PictureBox::clearPicture()
{
    image_ = QImage();
    himetric_ = QSize();
    offset_ = QPoint();
    update();
}

void PictureBox::setOffset(QPoint pixels)
{
    if (pixels == offset_)
        return;
    offset_ = pixels;
    update();
}

void PictureBox::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    const QRect area = contentsRect();
    p.fillRect(e->rect(), palette().window());
    if (!image_.isNull()) {
        p.setClipRect(area);
        // Source rectangle of the picture that lands in the dirty part of the box.
        const QRect target = e->rect() & area;
        const QPoint origin = area.topLeft() - offset_;
        const QRect source = target.translated(-origin) & image_.rect();
        if (!source.isEmpty())
            p.drawImage(source.translated(origin), image_, source);
    }
    p.end();
    QFrame::paintEvent(e);
}

void PictureBox::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::RightButton)
        Q_EMIT rightButtonPressed(e->globalPosition().toPoint());
    QFrame::mousePressEvent(e);
}

} // namespace orv
