#include "app/intro.h"

#include "common/appcontext.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace orv {

QIcon programIcon()
{
    QIcon icon;
    for (int s : {16, 32, 48, 64, 256})
        icon.addFile(QStringLiteral(":/art/orvane-%1.png").arg(s), QSize(s, s));
    return icon;
}

Intro::Intro(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), ctx_(ctx), banner_(QStringLiteral(":/art/banner.bmp"))
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
    if (!ctx_.aboutShown)
        ctx_.shell().hideMainWindow();
}

void Intro::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!banner_.isNull())
        p.drawPixmap(0, 0, banner_);
    else
        p.fillRect(rect(), QColor(20, 40, 90));
}

void Intro::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    raise();
    activateWindow();
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
    // Closing the splash by the window manager must not leave the program with no window.
    e->ignore();
    dismiss();
}

void Intro::dismiss()
{
    ctx_.shell().showMainWindow();
    hide();
}

} // namespace orv
