#pragma once

#include <QString>
#include <QStringList>

namespace orv {

// The process as the start-up sequence sees it: its command line, the folder it was started
// in, its executable's folder and its current folder. Paths are carried as the file list
// carries names (decodeFileName), so a folder whose name is not UTF-8 keeps its bytes.
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
    // The arguments as the start-up has read them from argv (a file address turned into its
    // path); none until set.
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
