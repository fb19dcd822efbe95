#pragma once

#include <QString>

namespace orv {

// The program's name: the title of its main window and of message boxes that name none, the
// tip of its tray icon and the application its settings are stored under.
inline const QString ProgramName = QStringLiteral("Orvane Viewer");

// The desktop entry's name without ".desktop": how the desktop (a Wayland compositor above all)
// ties the program's windows to its entry and icon.
inline const QString DesktopFileName = QStringLiteral(ORVANE_APP_ID);

// The version is the build's project version (CMakeLists.txt): 1.7.2 is version 1.7,
// revision 2.
inline constexpr int VersionMajor = ORVANE_VERSION_MAJOR;
inline constexpr int VersionMinor = ORVANE_VERSION_MINOR;
inline constexpr int VersionRevision = ORVANE_VERSION_REVISION;

// The stamp kept in the settings: the three numbers in decimal, without separators ("172").
// It is only ever compared for equality.
QString versionStamp();
// The main window's label: "v" and the version without the revision ("v1.7").
QString versionLabel();
// The full version, as --version prints it ("1.7.2").
QString versionText();

} // namespace orv
