#pragma once

#include <QString>
#include <QStringList>

namespace orv {

// The one place where the program starts other programs. A program and its arguments are
// handed to the operating system as they are, one argument each; no command interpreter ever
// sees them. The started program outlives this one and is not waited for.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // program is an absolute path; an empty workingDirectory keeps ours. false when the
    // program could not be started.
    virtual bool startDetached(const QString& program, const QStringList& arguments,
                               const QString& workingDirectory) = 0;
};

// QProcess::startDetached, which uses fork and execv: no PATH search for a path with a slash,
// and no fallback to /bin/sh for a file the kernel refuses to run.
class DetachedProcessLauncher final : public ProcessLauncher {
public:
    bool startDetached(const QString& program, const QStringList& arguments,
                       const QString& workingDirectory) override;
};

} // namespace orv
