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

void PictureBox::setPicture(const Picture& picture)
{
    picture_ = picture;
    offset_ = QPoint();
    if (picture_.completion)
        connect(picture_.completion.get(), &PictureCompletion::progressed, this, qOverload<>(&QWidget::update));
    update();
}

void PictureBox::clearPicture()
{
    // Dropping an unfinished picture stops its decoding.
    picture_ = Picture();
    offset_ = QPoint();
    update();
}

const QImage& PictureBox::image() const
{
    if (picture_.completion)
        picture_.completion->waitUntilDone();
    return picture_.image;
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
    const QImage& img = picture_.image;
    if (!img.isNull()) {
        p.setClipRect(area);
        // Source rectangle of the picture that lands in the dirty part of the box, limited to
        // the rows already decoded.
        const QRect target = e->rect() & area;
        const QPoint origin = area.topLeft() - offset_;
        const QRect ready(0, 0, img.width(), picture_.rowsReady());
        const QRect source = target.translated(-origin) & ready;
        if (!source.isEmpty())
            p.drawImage(source.translated(origin), img, source);
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
