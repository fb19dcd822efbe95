#include "browser/frmplay.h"

#include "common/appcontext.h"
#include "common/art.h"
#include "common/twipslayout.h"
#include "platform/moduleplugin.h"
#include "platform/screenmetrics.h"
#include "platform/trayicons.h"
#include "platform/windowfocus.h"
#include "platform/windowplacement.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QIcon>
#include <QPixmap>


namespace orv {

namespace {
const QString kTrayTip = QStringLiteral("Module Player");
constexpr double kClientWidth = 3660;
constexpr double kClientHeight = 720;
} // namespace

frmPlay::frmPlay(AppContext& ctx, QWidget* parent) : QWidget(parent, Qt::Window), ctx_(ctx)
{
    setObjectName(QStringLiteral("frmPlay"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Nothing in it takes keys: the window a module opens leaves them with the file list.
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    setWindowTitle(QStringLiteral("Module player"));
    setWindowIcon(artIcon("player"));
    const ScreenMetrics& screen = *ctx_.services().screen;
    setFixedSize(TwipsLayout(screen.twipsPerPixelX(), screen.twipsPerPixelY()).size(kClientWidth, kClientHeight));
}

void frmPlay::Form_Load()
{
    centreOnScreen(this, *ctx_.services().screen);
    ctx_.services().tray->add(this, kTrayTip, windowIcon(), [this](TrayMessage m) { trayIcon_Message(m); });
}

void frmPlay::trayIcon_Message(TrayMessage message)
{
    if (message == TrayMessage::LeftDoubleClick) {
        setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        show();
        raise();
    }
}

void frmPlay::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    if (ModulePlugin* plugin = ctx_.services().modules) {
        plugin->stop(ctx_.modPlayerHandle());
        plugin->destroy(ctx_.modPlayerHandle());
    }
    instanceAttached_ = false;
    ctx_.services().tray->remove(this);
}

void frmPlay::closeEvent(QCloseEvent* e)
{
    Form_Unload();
    e->accept();
}

void frmPlay::keyPressEvent(QKeyEvent* e)
{
    passOn(e);
}

void frmPlay::keyReleaseEvent(QKeyEvent* e)
{
    passOn(e);
}

void frmPlay::passOn(QKeyEvent* e)
{
    if (!passKeyOn(*e, keysTo_))
        e->ignore();
}

} // namespace orv
