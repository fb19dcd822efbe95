#pragma once

#include <QString>
#include <QStringList>

namespace orv {

// The one place where the program starts other programs. A program and its arguments are
// handed to the operating system as they are, one argument each; no command interpreter ever
// sees them. Paths are carried as the file list carries names (decodeFileName), and reach the
// program as the same bytes. The started program outlives this one and is not waited for.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // program is an absolute path; an empty workingDirectory keeps ours. false when the
    // program could not be started.
    virtual bool startDetached(const QString& program, const QStringList& arguments,
                               const QString& workingDirectory) = 0;
};

// fork and execve, as QProcess::startDetached does, but with the arguments' own bytes:
// QProcess encodes them as UTF-8 and would change a name that is not. No PATH search, and no
// fallback to /bin/sh for a file the kernel refuses to run.
class DetachedProcessLauncher final : public ProcessLauncher {
public:
    bool startDetached(const QString& program, const QStringList& arguments,
                       const QString& workingDirectory) override;
};

} // namespace orv
