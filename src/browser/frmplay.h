#pragma once

#include "platform/trayicons.h"

#include <QPointer>
#include <QWidget>

namespace orv {

class AppContext;

// The module-player window: no controls of its own, a client area of 3660 by 720 twips that
// the module plug-in draws in, and a tray icon of its own while it exists. Closing it stops and
// releases the plug-in instance and removes the icon; the window then goes (WA_DeleteOnClose).
class frmPlay final : public QWidget {
    Q_OBJECT
public:
    explicit frmPlay(AppContext& ctx, QWidget* parent = nullptr);

    void Form_Load();
    // The tray icon's mouse events: a double-click restores the window, visible or not.
    void trayIcon_Message(TrayMessage message);
    void Form_Unload();

    // An instance is attached once the plug-in was given this window, until Form_Unload or a
    // new start releases it.
    bool hasInstance() const { return instanceAttached_; }
    void setInstanceAttached(bool attached) { instanceAttached_ = attached; }

    // Nothing here takes keys: those that reach it anyway (a window manager that focuses every
    // new window) go on to this window, so the user can step on through the file list.
    void passKeysTo(QWidget* window) { keysTo_ = window; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    AppContext& ctx_;
    bool instanceAttached_ = false;
    bool unloaded_ = false;
    QPointer<QWidget> keysTo_;

    void passOn(QKeyEvent* e);
};

} // namespace orv
