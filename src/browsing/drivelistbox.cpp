#include "browsing/drivelistbox.h"

#include "browsing/core/folderbrowser.h"

#include <QSignalBlocker>

namespace orv {

DriveListBox::DriveListBox(FolderBrowser& browser, QWidget* parent) : QComboBox(parent), browser_(browser)
{
    reload();
    connect(this, &QComboBox::activated, this, [this](int) { Q_EMIT driveChanged(); });
    connect(&browser_, &FolderBrowser::folderChanged, this, [this] { showDrive(browser_.drive()); });
    if (!browser_.folder().isEmpty())
        showDrive(browser_.drive());
}

void DriveListBox::reload()
{
    const QString keep = drive();
    const QSignalBlocker block(this);
    clear();
    for (const Volume& v : browser_.volumes().volumes())
        addItem(v.label, v.root);
    const int i = indexOfRoot(keep);
    setCurrentIndex(i >= 0 ? i : (count() > 0 ? 0 : -1));
}

QString DriveListBox::drive() const { return currentData().toString(); }

int DriveListBox::indexOfRoot(const QString& root) const
{
    for (int i = 0; i < count(); ++i)
        if (itemData(i).toString() == root)
            return i;
    return -1;
}

void DriveListBox::showDrive(const QString& root)
{
    const QSignalBlocker block(this);
    int i = indexOfRoot(root);
    if (i < 0) {
        addItem(root, root);
        i = count() - 1;
    }
    setCurrentIndex(i);
}

void DriveListBox::setDrive(const QString& root)
{
    showDrive(root);
    Q_EMIT driveChanged();
}

void DriveListBox::showPopup()
{
    reload();
    QComboBox::showPopup();
}

} // namespace orv
