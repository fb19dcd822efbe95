#pragma once

#include "platform/core/volumelist.h"

#include <QComboBox>

namespace orv {

class FolderBrowser;

// The drive list (`drvChoose`): the mounted volumes, showing the one that holds the browser's
// folder. The list is re-read each time it drops down, so a volume mounted meanwhile appears
// and a removed one goes. A choice is reported (driveChanged) for the window to act on: the
// window decides what an unavailable drive means.
class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(FolderBrowser& browser, QWidget* parent = nullptr);

    void reload();
    QString drive() const;  // the selected volume's root
    // Selects the volume at root (adding it when unknown) without emitting driveChanged.
    void showDrive(const QString& root);
    // Selects the volume at root and emits driveChanged, as a user's choice does.
    void setDrive(const QString& root);

Q_SIGNALS:
    void driveChanged();

protected:
    void showPopup() override;

private:
    int indexOfRoot(const QString& root) const;
    FolderBrowser& browser_;
};

} // namespace orv
