#pragma once

#include "platform/core/volumelist.h"

#include <QComboBox>

namespace orv {

// The drive list (`drvChoose`): the mounted volumes. The list is re-read each time it drops
// down, so a volume mounted meanwhile appears and a removed one goes.
class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    DriveListBox(VolumeList& volumes, QWidget* parent = nullptr);

    void reload();
    QString drive() const;  // the selected volume's root
    // Selects the volume at root (adding it when unknown) without emitting driveChanged.
    void showDrive(const QString& root);
    // Selects the volume at root and emits driveChanged, as a user's choice does.
    void setDrive(const QString& root);
    const QList<Volume>& volumes() const { return list_; }

Q_SIGNALS:
    void driveChanged();

protected:
    void showPopup() override;

private:
    int indexOfRoot(const QString& root) const;
    VolumeList& source_;
    QList<Volume> list_;
};

} // namespace orv
