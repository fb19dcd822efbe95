#pragma once

#include <QObject>
#include <QString>

namespace orv {

class ProcessEnvironment;
class VolumeList;

// Where a browsing window is: the current folder, the drive (volume) that holds it and the
// file pattern, with the moves a user makes -- into a folder, to the parent, to the drive's
// root, to another drive -- and the fallbacks when a place cannot be entered. The drive,
// folder and file lists show it; the main window and the slide-show editor each own one.
// Nothing here shows a window: a drive that is not available is reported to the caller,
// which shows text DriveErrorText and asks for the fallback.
class FolderBrowser : public QObject {
    Q_OBJECT
public:
    // "An error has occured" / "Selected drive is not available".
    static constexpr int DriveErrorText = 78;

    FolderBrowser(VolumeList& volumes, ProcessEnvironment& process, QObject* parent = nullptr);

    // Empty until a folder was entered.
    QString folder() const { return folder_; }
    // The root of the volume that holds the folder.
    QString drive() const;
    QString pattern() const { return pattern_; }
    void setPattern(const QString& pattern);

    VolumeList& volumes() const { return volumes_; }

    // Makes path (cleaned, made absolute) the current folder and announces it, also when it
    // is the folder already shown. false, and nothing changes, when it cannot be entered.
    bool enter(const QString& path);
    // path, else the process's current folder, else the root of the program's volume, else "/".
    void enterOrFallback(const QString& path);
    // The parent folder; nothing at the root of a volume.
    void enterParent();
    // The root of the current folder's volume.
    void enterRoot();
    // The drive's current folder: the process's own when it is on that drive, else the drive's
    // root. false, and nothing changes, when the drive is not available.
    bool enterDrive(const QString& root);
    // After enterDrive(failed) was refused: the drive of the process's current folder, or
    // empty when that is the failed drive or not available either (then "/" is what is left).
    QString fallbackDrive(const QString& failed) const;

    // The root of the volume that holds the program.
    QString programVolumeRoot() const;
    // Start-up: the stored start folder, or the program's volume root when none is stored,
    // becomes the process's current folder; a folder that has gone falls back to the program's
    // volume root, then "/". Returns the folder that became current.
    QString makeStartFolderCurrent(const QString& stored);
    // The command line as the one path it names: the arguments joined with single spaces, a
    // pair of enclosing double quotes dropped when the quoted text is not itself a file, and a
    // relative path made absolute against the launch folder. Empty without arguments.
    QString commandLinePath() const;

Q_SIGNALS:
    void folderChanged(const QString& folder);
    void patternChanged(const QString& pattern);

private:
    VolumeList& volumes_;
    ProcessEnvironment& process_;
    QString folder_;
    QString pattern_;
};

} // namespace orv
