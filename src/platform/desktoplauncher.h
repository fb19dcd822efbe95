#pragma once

#include "platform/processlauncher.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace orv {

// Hands documents, help files, the settings application and programs to the desktop.
// Nothing given here ever goes through a command interpreter: paths and parameters reach the
// started program as separate arguments. Each call returns false when nothing could be
// started (no handler, a missing or non-executable program); the caller reports that.
class DesktopLauncher {
public:
    virtual ~DesktopLauncher() = default;
    // "start X": a file or a web address opened with the desktop's default application.
    virtual bool openDocument(const QString& target) = 0;
    // "Winhelp X": a help file opened with whatever the desktop uses for it.
    virtual bool openHelp(const QString& path) = 0;
    // "control.exe": the desktop's settings application; false when there is none.
    virtual bool openSettings() = 0;
    // A program chosen by the user, with parameters split as a shell would split them (quotes,
    // backslashes) but never run by one. Windows programs (.exe, .bat) run through Wine when
    // it is installed.
    virtual bool runProgram(const QString& program, const QString& parameters) = 0;
};

// The Linux desktop behind DesktopLauncher. Documents, web addresses and help files go to
// QDesktopServices, which Qt hands to xdg-open as one encoded URL argument, without a shell;
// a local file's URL holds the bytes of its name, percent-encoded, even where they are not UTF-8.
// The settings application is the running desktop's own, else the first one installed.
// Native programs (ELF, or a script with #!, with execute permission) start directly; .exe
// and .com through Wine. A .bat or .cmd file can only be run by Wine's cmd, which reads its
// name and parameters as a command line, so one whose name or a parameter holds a character
// cmd gives a meaning to is refused: % ! ^ " and control characters always, and in a word
// without a blank (which Wine does not quote) also & | < > ( ) and the separators , ; =, and a
// name that is not UTF-8, which cmd cannot read as text.
// Every program goes through the ProcessLauncher and runs in its own folder.
class XdgDesktopLauncher final : public DesktopLauncher {
public:
    // Where helper programs (Wine, settings applications) are looked for, and which desktop
    // runs.
    struct Host {
        QStringList searchPaths;   // empty: the folders of $PATH
        QString currentDesktop;    // in the form of $XDG_CURRENT_DESKTOP, e.g. "ubuntu:GNOME"
        static Host fromEnvironment();
    };

    // Real processes, this session's PATH and desktop.
    XdgDesktopLauncher();
    XdgDesktopLauncher(ProcessLauncher& launcher, Host host);
    ~XdgDesktopLauncher() override;

    bool openDocument(const QString& target) override;
    bool openHelp(const QString& path) override;
    bool openSettings() override;
    bool runProgram(const QString& program, const QString& parameters) override;

private:
    std::unique_ptr<ProcessLauncher> ownLauncher_;
    ProcessLauncher& launcher_;
    Host host_;
};

} // namespace orv
