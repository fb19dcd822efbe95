#include "slideshow/showpic.h"

#include "common/appcontext.h"
#include "common/twipslayout.h"
#include "platform/screenmetrics.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace orv {

Showpic::Showpic(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), ctx_(ctx)
{
    setObjectName(QStringLiteral("Showpic"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    const ScreenMetrics& screen = *ctx_.services().screen;
    const TwipsLayout L(screen.twipsPerPixelX(), screen.twipsPerPixelY());
    lblShowFilename_ = new QLabel(this);
    lblShowFilename_->setObjectName(QStringLiteral("lblShowFilename"));
    lblShowFilename_->move(L.x(45), L.y(30));
    lblShowFilename_->setAttribute(Qt::WA_TransparentForMouseEvents);
    setCaptionColour(Qt::black);
    setPointerVisible(false);
    setAccessibleName(QStringLiteral("Full-screen view"));
}

void Showpic::Form_Load()
{
    resize(ctx_.services().screen->screenPixels());
    move(0, 0);
    // The slide-show editor's colour and pointer choices apply when a show uses this window;
    // without them the caption stays green and the pointer is the normal arrow.
    setCaptionColour(Qt::black);
    setPointerVisible(true);
}

void Showpic::setCaptionColour(QColor colour)
{
    const QColor c = colour == QColor(Qt::black) ? QColor(0, 255, 0) : colour;
    QPalette pal = lblShowFilename_->palette();
    pal.setColor(QPalette::WindowText, c);
    lblShowFilename_->setPalette(pal);
}

void Showpic::setPointerVisible(bool visible)
{
    setCursor(visible ? Qt::ArrowCursor : Qt::BlankCursor);
}

void Showpic::setCaption(const QString& caption)
{
    setWindowTitle(caption);
}

void Showpic::showView()
{
    showFullScreen();
    bringToFront(this, *ctx_.services().screen);
    setFocus(Qt::OtherFocusReason);
}

void Showpic::drawPicture(const QImage& picture, QPoint topLeft)
{
    picture_ = picture;
    pictureAt_ = topLeft;
    update();
}

void Showpic::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (!picture_.isNull())
        p.drawImage(pictureAt_, picture_);
}

void Showpic::keyPressEvent(QKeyEvent* e)
{
    if (e->text().isEmpty()) {
        QWidget::keyPressEvent(e);
        return;
    }
    // Escape ends any view; other character keys end the single-picture view.
    if (e->key() == Qt::Key_Escape || ctx_.singlePictureMode())
        close();
}

void Showpic::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::RightButton || (e->button() == Qt::LeftButton && ctx_.singlePictureMode()))
        close();
}

void Showpic::closeEvent(QCloseEvent* e)
{
    ctx_.setSinglePictureMode(false);
    QWidget::closeEvent(e);
}

} // namespace orv
