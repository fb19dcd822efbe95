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

#include <cmath>

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
    const ScreenMetrics& screen = *ctx_.services().screen;
    const QSize px = screen.screenPixels();
    move((px.width() - width()) / 2, (px.height() - height()) / 2);
    const double tppX = screen.twipsPerPixelX();
    ctx_.services().tray->add(this, kTrayTip, windowIcon(),
                              [this, tppX](int message) { Form_MouseMove(0, 0, message * tppX, 0); });
}

void frmPlay::Form_MouseMove(int, int, double x, double)
{
    // Pixels from twips, halves to even: the message number.
    lastTrayMessage = qint32(std::nearbyint(x / ctx_.services().screen->twipsPerPixelX()));
    if (lastTrayMessage == TrayLeftDoubleClick) {
        setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        activateWindow();
    }
}

void frmPlay::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    if (ModulePlugin* plugin = ctx_.services().modules) {
        plugin->stop(ctx_.ModPlayerHandle);
        plugin->destroy(ctx_.ModPlayerHandle);
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
