#include "app/intro.h"

#include "common/appcontext.h"
#include "common/art.h"
#include "common/deferredicons.h"
#include "common/twipslayout.h"
#include "platform/windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace orv {

Intro::Intro(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), ctx_(ctx), banner_(QPixmap::fromImage(artImage("banner")))
{
    setObjectName(QStringLiteral("Intro"));
    setWindowTitle(AppContext::AppName);
    setWindowIcon(programIcon());
    setFixedSize(397, 143);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void Intro::Form_Load()
{
    if (!ctx_.aboutShown())
        ctx_.shell().hideMainWindow();
}

void Intro::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!banner_.isNull())
        p.drawPixmap(0, 0, banner_);
    else
        p.fillRect(rect(), QColor(20, 40, 90));
    if (!painted_) {
        painted_ = true;
        // While the splash is looked at, the main window's icons get their readers ready.
        QTimer::singleShot(200, qApp, &warmImageFormats);
    }
}

void Intro::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    bringToFront(this, *ctx_.services().screen);
    setFocus(Qt::OtherFocusReason);
}

void Intro::keyPressEvent(QKeyEvent* e)
{
    // Only keys that produce a character (Enter and Escape included) dismiss the splash.
    if (!e->text().isEmpty()) {
        dismiss();
        return;
    }
    QWidget::keyPressEvent(e);
}

void Intro::mousePressEvent(QMouseEvent*)
{
    dismiss();
}

void Intro::closeEvent(QCloseEvent* e)
{
    // Closing the splash must not leave the program with no window: it hands over like a click.
    ctx_.shell().showMainWindow();
    e->accept();
}

void Intro::dismiss()
{
    ctx_.shell().showMainWindow();
    hide();
}

} // namespace orv
