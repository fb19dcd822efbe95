#pragma once

#include <QList>
#include <QString>

namespace orv {

// A mounted volume a user would browse: the Linux counterpart of a drive.
struct Volume {
    QString root;        // mount point, e.g. "/" or "/media/usb"
    QString label;       // name shown in the drive list
    bool ready = true;   // mounted and readable right now
};

class VolumeList {
public:
    virtual ~VolumeList() = default;
    // Browsable volumes, "/" first, then by mount point.
    virtual QList<Volume> volumes() const = 0;
    // Whether the volume at root can be entered now (a removed disc or a vanished mount cannot).
    virtual bool isReady(const QString& root) const = 0;
};

// The root of the volume that holds path: the longest volume root that is a prefix of it,
// "/" when none is.
QString volumeRootOf(const QString& path, const QList<Volume>& volumes);

// Mounted volumes from QStorageInfo, without pseudo file systems (proc, sysfs, tmpfs, ...).
class StorageVolumeList final : public VolumeList {
public:
    QList<Volume> volumes() const override;
    bool isReady(const QString& root) const override;
};

} // namespace orv
