#include "platform/windowfocus.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace orv {

namespace {

// How long after the show an activation is the window system's, not the user's.
constexpr int WindowSystemMs = 2000;

// Watches the window just shown and gives the keys back to their owner whenever the window
// system activates it; gone at the user's first click or key in the window, or after a while.
class KeysGoBack final : public QObject {
public:
    KeysGoBack(QWidget* shown, QWidget* owner) : QObject(shown), owner_(owner)
    {
        shown->installEventFilter(this);
        QTimer::singleShot(WindowSystemMs, this, [this] { deleteLater(); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::WindowActivate:
            if (owner_ && owner_->isVisible())
                owner_->activateWindow();
            break;
        case QEvent::MouseButtonPress:
        case QEvent::KeyPress:
            watched->removeEventFilter(this);
            deleteLater();
            break;
        default:
            break;
        }
        return false;
    }

private:
    QPointer<QWidget> owner_;
};

} // namespace

void letTakeKeys(QWidget* window)
{
    window->setAttribute(Qt::WA_ShowWithoutActivating, false);
    for (QObject* child : window->children())
        if (auto* earlier = dynamic_cast<KeysGoBack*>(child)) {
            window->removeEventFilter(earlier);
            earlier->deleteLater();
        }
}

void showWithoutTakingKeys(QWidget* window, bool mayActivate)
{
    QWidget* owner = QApplication::activeWindow();
    // One watch per window: a later show hands the keys to the later owner.
    letTakeKeys(window);
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    if (mayActivate && owner && owner != window)
        new KeysGoBack(window, owner);
    window->show();
    window->raise();
}

bool passKeyOn(const QKeyEvent& key, QWidget* to)
{
    if (!to || !to->isVisible())
        return false;
    QWidget* target = to->focusWidget() ? to->focusWidget() : to;
    // Posted, not sent: what the key does (another file, another video or module) may delete
    // the window it reached while that window is still handling it.
    QCoreApplication::postEvent(target, new QKeyEvent(key.type(), key.key(), key.modifiers(), key.text(),
                                                      key.isAutoRepeat(), ushort(key.count())));
    return true;
}

} // namespace orv
