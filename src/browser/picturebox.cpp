#include "browser/picturebox.h"

#include "pictures/vectorpicture.h"

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
    clearPicture();
    picture_ = picture;
    offset_ = QPoint();
    if (picture_.completion)
        connect(picture_.completion.get(), &PictureCompletion::progressed, this, qOverload<>(&QWidget::update));
    if (picture_.vector) {
        VectorPicture* vector = picture_.vector.get();
        connect(vector, &VectorPicture::updated, this, qOverload<>(&QWidget::update));
        connect(vector, &VectorPicture::failed, this, &PictureBox::pictureFailed);
        // What the box shows is asked for now, not at the first paint.
        vector->request(shownPart());
    }
    update();
}

void PictureBox::clearPicture()
{
    // Dropping an unfinished picture stops its decoding.
    if (picture_.completion)
        picture_.completion->disconnect(this);
    if (picture_.vector)
        picture_.vector->disconnect(this);
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

QRect PictureBox::shownPart() const
{
    return QRect(offset_, contentsRect().size());
}

bool PictureBox::showsAll() const
{
    if (picture_.vector)
        return picture_.vector->isReady(shownPart());
    return !picture_.completion || picture_.completion->isDone();
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
    if (picture_.vector) {
        p.setClipRect(area);
        picture_.vector->paint(p, area.topLeft() - offset_, e->rect() & area);
    } else if (!img.isNull()) {
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
