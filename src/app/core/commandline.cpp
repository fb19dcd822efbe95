#include "app/core/commandline.h"

#include "common/core/filenames.h"
#include "common/core/version.h"

#include <QRegularExpression>
#include <QUrl>

namespace orv {

namespace {

CommandLineRequest refused(const QString& text, const QString& why)
{
    CommandLineRequest r;
    r.kind = CommandLineRequest::Kind::Refused;
    r.message = QStringLiteral("cannot open \"%1\": %2").arg(text, why);
    return r;
}

} // namespace

QStringList argumentsAfterProgram(int argc, const char* const* argv)
{
    QStringList out;
    for (int i = 1; i < argc; ++i)
        out.append(decodeFileName(argv[i]));
    return out;
}

CommandLineRequest readCommandLine(const QStringList& arguments, const QString& hostName,
                                   const std::function<bool(const QString&)>& exists)
{
    CommandLineRequest r;
    if (arguments.size() == 1 && arguments.front() == QLatin1String("--help")) {
        r.kind = CommandLineRequest::Kind::Help;
        return r;
    }
    if (arguments.size() == 1 && arguments.front() == QLatin1String("--version")) {
        r.kind = CommandLineRequest::Kind::Version;
        return r;
    }
    r.arguments = arguments;
    const QString joined = arguments.join(QLatin1Char(' '));
    if (joined.isEmpty() || exists(joined))
        return r;

    // "scheme:" then "//" is a URI; "file:" alone (file:/path) is the short form some desktops use.
    static const QRegularExpression uriStart(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):"));
    const QRegularExpressionMatch m = uriStart.match(joined);
    if (!m.hasMatch())
        return r;
    const QString scheme = m.captured(1).toLower();
    const bool isFile = scheme == QLatin1String("file");
    if (!isFile && !joined.mid(m.capturedLength()).startsWith(QLatin1String("//")))
        return r;  // "notes:2024.txt" is a relative file name
    if (!isFile)
        return refused(joined, QStringLiteral("only local files can be opened, not %1: addresses").arg(scheme));

    const QUrl url(joined, QUrl::StrictMode);
    if (!url.isValid())
        return refused(joined, QStringLiteral("not a valid file address"));
    const QString host = url.host();
    if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0
        && host.compare(hostName, Qt::CaseInsensitive) != 0)
        return refused(joined, QStringLiteral("the file is on another machine (%1)").arg(host));
    const QString path = localFilePath(url);
    if (path.isEmpty() || path.contains(QChar(0)) || url.hasQuery() || url.hasFragment())
        return refused(joined, QStringLiteral("not a valid file address"));
    r.arguments = QStringList{path};
    return r;
}

QString helpText(const QString& programFile)
{
    return QStringLiteral(
               "Usage: %1 [FILE]\n"
               "Browse folders and view pictures, play sounds, videos and tracker modules.\n"
               "\n"
               "FILE is opened at start as a click in the file list would open it: its folder is\n"
               "shown and the file is viewed or played. A relative path is taken from the current\n"
               "folder; the arguments are joined with single spaces into one path; a file:// address\n"
               "stands for its local file.\n"
               "\n"
               "  --help     show this help and end\n"
               "  --version  show the version and end\n"
               "\n"
               "The settings are kept in $XDG_CONFIG_HOME/%2/settings.ini (~/.config when\n"
               "XDG_CONFIG_HOME is not set). Qt's own options, such as -platform NAME, are accepted.\n"
               "See %1(1) for more.\n")
        .arg(programFile, ProgramName);
}

} // namespace orv
