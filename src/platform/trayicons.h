#pragma once

#include <QIcon>
#include <QString>
#include <functional>

class QObject;
class QSystemTrayIcon;

namespace orv {

// What the icon reports to its owner: the mouse events on it.
enum class TrayMessage {
    LeftButtonUp,
    LeftDoubleClick,
    RightButtonUp,
    MiddleButtonUp,
};
using TrayMessageHandler = std::function<void(TrayMessage message)>;

// The notification-area icons of the program: at most one per owning window.
// Adding for an owner that already has one replaces its tip, picture and handler; removing an
// owner without an icon does nothing. Failures (no tray host running) are silent by contract.
class TrayIcons {
public:
    virtual ~TrayIcons() = default;
    virtual void add(QObject* owner, const QString& tip, const QIcon& icon, TrayMessageHandler onMessage = {}) = 0;
    virtual void remove(QObject* owner) = 0;
    virtual bool has(const QObject* owner) const = 0;
};

// QSystemTrayIcon per owner; the icon goes away with its owner too. Qt's activation reasons
// become the messages (a trigger is the left button, the context request the right one).
class QtTrayIcons final : public TrayIcons {
public:
    QtTrayIcons();
    ~QtTrayIcons() override;
    void add(QObject* owner, const QString& tip, const QIcon& icon, TrayMessageHandler onMessage = {}) override;
    void remove(QObject* owner) override;
    bool has(const QObject* owner) const override;

    // The live tray icon of an owner, for wiring its activation signals; null when none.
    QSystemTrayIcon* iconOf(const QObject* owner) const;

private:
    struct Impl;
    Impl* d;
};

} // namespace orv
