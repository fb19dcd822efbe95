#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace orv {

// What the command line asks for, read before any window exists.
struct CommandLineRequest {
    enum class Kind {
        Run,      // start the program; `arguments` are what the browser joins into one path
        Help,     // print helpText() and end
        Version,  // print the version and end
        Refused,  // print `message` on the error output and end with a failure
    };
    Kind kind = Kind::Run;
    QStringList arguments;
    QString message;
};

// The arguments after the program name, each decoded as the file list decodes names, so a path
// that is not valid UTF-8 still names its file.
QStringList argumentsAfterProgram(int argc, const char* const* argv);

// `arguments` are the ones after the program name. "--help" and "--version" count only when
// alone (a file of that name opens as ./--help). A file:// URI, as desktops and browsers hand
// files over, stands for its local path, percent-decoded; other URIs, and file URIs naming
// another machine, are refused. A text that names an existing file (`exists`, relative to the
// launch folder) is taken as it stands, even if it looks like a URI.
CommandLineRequest readCommandLine(const QStringList& arguments, const QString& hostName,
                                   const std::function<bool(const QString&)>& exists);

// The usage text --help prints.
QString helpText(const QString& programFile);

} // namespace orv
