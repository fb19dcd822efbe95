#pragma once

class QKeyEvent;
class QWidget;

namespace orv {

// Shows a window in front and leaves the keys with the window that has them: a window that a
// file opens (the module player, a video) must not stop the user stepping through the file
// list with the keys. Some window managers activate every new window all the same; the keys
// are then handed back at once, until the user clicks or types in the new window or the window
// system has had time to show it. mayActivate: whether the window system lets the program
// activate its windows (a Wayland compositor does not, and leaves the keys alone anyway).
void showWithoutTakingKeys(QWidget* window, bool mayActivate);
// Undoes the above for a window shown again that is to take the keys after all.
void letTakeKeys(QWidget* window);

// Hands a key that reached a window with no use for it on to the window the user works in (its
// focus widget, after the current event), so stepping through the file list goes on whichever
// window has the focus. False when there is none to take it.
bool passKeyOn(const QKeyEvent& key, QWidget* to);

} // namespace orv
