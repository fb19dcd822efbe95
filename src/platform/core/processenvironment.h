#pragma once

#include <QString>
#include <QStringList>

namespace orv {

// The process as the start-up sequence sees it: its command line, the folder it was started
// in, its executable's folder and its current folder.
class ProcessEnvironment {
public:
    virtual ~ProcessEnvironment() = default;
    // The arguments after the program name.
    virtual QStringList arguments() const = 0;
    // The current folder when the program was launched.
    virtual QString launchFolder() const = 0;
    virtual QString executableFolder() const = 0;
    virtual QString currentFolder() const = 0;
    // false when the folder cannot be entered; the current folder then stays as it was.
    virtual bool setCurrentFolder(const QString& path) = 0;
};

class RealProcessEnvironment final : public ProcessEnvironment {
public:
    // Captures the launch folder; construct it first thing in main().
    RealProcessEnvironment();
    // The arguments as the start-up has read them (a file address turned into its path);
    // until set, the process's own.
    void setArguments(const QStringList& arguments) { arguments_ = arguments; argumentsSet_ = true; }
    QStringList arguments() const override;
    QString launchFolder() const override;
    QString executableFolder() const override;
    QString currentFolder() const override;
    bool setCurrentFolder(const QString& path) override;

private:
    QString launch_;
    QStringList arguments_;
    bool argumentsSet_ = false;
};

} // namespace orv
