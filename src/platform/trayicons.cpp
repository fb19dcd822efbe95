#include "platform/trayicons.h"

#include <QGuiApplication>
#include <QHash>
#include <QPointer>
#include <QSystemTrayIcon>

namespace orv {

struct QtTrayIcons::Impl {
    QHash<const QObject*, QPointer<QSystemTrayIcon>> icons;
};

QtTrayIcons::QtTrayIcons() : d(new Impl) {}

QtTrayIcons::~QtTrayIcons()
{
    for (auto& icon : d->icons)
        delete icon.data();
    delete d;
}

void QtTrayIcons::add(QObject* owner, const QString& tip, const QIcon& icon, TrayMessageHandler onMessage)
{
    if (!owner)
        return;
    // Under Wayland only a notifier host reached over D-Bus can show the icon; without one Qt
    // would try the X11 tray protocol, which cannot work there, and complain.
    if (!d->icons.contains(owner) && QGuiApplication::platformName().startsWith(QLatin1String("wayland"))
        && !QSystemTrayIcon::isSystemTrayAvailable())
        return;
    QPointer<QSystemTrayIcon>& slot = d->icons[owner];
    if (!slot) {
        // Parented to the owner so a destroyed window never leaves an orphan icon behind.
        slot = new QSystemTrayIcon(owner);
        QObject::connect(owner, &QObject::destroyed, slot, [this, owner] { d->icons.remove(owner); });
    }
    QObject::disconnect(slot, &QSystemTrayIcon::activated, nullptr, nullptr);
    if (onMessage) {
        QObject::connect(slot, &QSystemTrayIcon::activated, slot, [onMessage](QSystemTrayIcon::ActivationReason why) {
            switch (why) {
            case QSystemTrayIcon::DoubleClick: onMessage(TrayMessage::LeftDoubleClick); break;
            case QSystemTrayIcon::Context: onMessage(TrayMessage::RightButtonUp); break;
            case QSystemTrayIcon::Trigger: onMessage(TrayMessage::LeftButtonUp); break;
            case QSystemTrayIcon::MiddleClick: onMessage(TrayMessage::MiddleButtonUp); break;
            case QSystemTrayIcon::Unknown: break;
            }
        });
    }
    slot->setIcon(icon);
    slot->setToolTip(tip);
    slot->show();
}

void QtTrayIcons::remove(QObject* owner)
{
    auto it = d->icons.find(owner);
    if (it == d->icons.end())
        return;
    if (QSystemTrayIcon* icon = it->data()) {
        icon->hide();
        icon->deleteLater();
    }
    d->icons.erase(it);
}

bool QtTrayIcons::has(const QObject* owner) const
{
    auto it = d->icons.constFind(owner);
    return it != d->icons.constEnd() && !it->isNull();
}

QSystemTrayIcon* QtTrayIcons::iconOf(const QObject* owner) const
{
    return d->icons.value(owner).data();
}

} // namespace orv
