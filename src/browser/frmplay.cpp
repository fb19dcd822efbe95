#include "browser/frmplay.h"

#include "common/appcontext.h"
#include "common/art.h"
#include "common/twipslayout.h"
#include "platform/moduleplugin.h"
#include "platform/screenmetrics.h"
#include "platform/trayicons.h"

#include <QCloseEvent>
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
    setWindowTitle(QStringLiteral("Module player"));
    setWindowIcon(QIcon(QPixmap::fromImage(artImage("player"))));
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
        bringToFront(this, *ctx_.services().screen);
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

} // namespace orv
