#include "platform/desktoplauncher.h"

#include "common/core/filenames.h"
#include "platform/commandsplit.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <optional>

#include <unistd.h>

namespace orv {

namespace {

// Settings applications of the usual desktops, with the names those desktops give themselves
// in $XDG_CURRENT_DESKTOP.
struct SettingsApp {
    QStringView program;
    QStringView desktop;
};

constexpr SettingsApp settingsApps[] = {
    {u"gnome-control-center", u"GNOME"},
    {u"systemsettings", u"KDE"},
    {u"systemsettings5", u"KDE"},
    {u"xfce4-settings-manager", u"XFCE"},
    {u"mate-control-center", u"MATE"},
    {u"cinnamon-settings", u"X-Cinnamon"},
    {u"lxqt-config", u"LXQt"},
    {u"budgie-control-center", u"Budgie"},
    {u"unity-control-center", u"Unity"},
    {u"io.elementary.settings", u"Pantheon"},
    {u"io.elementary.switchboard", u"Pantheon"},
    {u"dde-control-center", u"Deepin"},
};

// The running desktop's own applications first, in the order the desktop names itself, then
// the rest in table order.
QStringList settingsCandidates(const QString& currentDesktop)
{
    QStringList order;
    const QStringList desktops = currentDesktop.split(u':', Qt::SkipEmptyParts);
    for (const QString& desktop : desktops) {
        for (const SettingsApp& app : settingsApps) {
            const QString name = app.program.toString();
            if (app.desktop.compare(desktop, Qt::CaseInsensitive) == 0 && !order.contains(name))
                order.append(name);
        }
    }
    for (const SettingsApp& app : settingsApps) {
        const QString name = app.program.toString();
        if (!order.contains(name))
            order.append(name);
    }
    return order;
}

// What a target of "start" names: an existing local file or folder, or a web or mail address.
// Local files go by their bytes, percent-encoded, so a name that is not UTF-8 still names them.
std::optional<QUrl> documentUrl(const QString& target)
{
    if (target.isEmpty())
        return std::nullopt;
    if (QDir::isAbsolutePath(target)) {
        if (!pathExists(target))
            return std::nullopt;
        return localFileUrl(target);
    }
    // A bare "www." address is a web page, as it is to every browser.
    const QUrl url = target.startsWith(u"www.", Qt::CaseInsensitive) ? QUrl(QStringLiteral("http://") + target)
                                                                     : QUrl(target);
    if (!url.isValid())
        return std::nullopt;
    const QString scheme = url.scheme().toLower();
    if (scheme == u"http" || scheme == u"https")
        return url.host().isEmpty() ? std::nullopt : std::optional<QUrl>(url);
    if (scheme == u"mailto")
        return url.path().isEmpty() ? std::nullopt : std::optional<QUrl>(url);
    if (scheme == u"file" && url.host().isEmpty()) {
        const QString path = localFilePath(url);
        if (QDir::isAbsolutePath(path) && pathExists(path))
            return localFileUrl(path);
    }
    return std::nullopt;
}

enum class ProgramKind { None, Native, Windows, Batch };

// `path` is a regular file; read by its bytes, as QFileInfo would lose a name that is not UTF-8.
ProgramKind programKind(const QString& path)
{
    QFile f;
    const QByteArray head = openForReading(f, path).isEmpty() ? f.read(4) : QByteArray();
    if (head.startsWith("\x7f" "ELF") || head.startsWith("#!"))
        return ::access(encodeFileName(path).constData(), X_OK) == 0 ? ProgramKind::Native : ProgramKind::None;
    // Windows files keep their type in the name; on a FAT volume they may look executable too.
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString suffix = dot < 0 ? QString() : name.mid(dot + 1).toLower();
    if (suffix == u"exe" || suffix == u"com")
        return ProgramKind::Windows;
    if (suffix == u"bat" || suffix == u"cmd")
        return ProgramKind::Batch;
    return ProgramKind::None;
}

// Whether cmd hands text to the batch file as the one parameter it is. Wine puts a word
// holding a blank (or nothing) in double quotes; there cmd still expands % (and ! when
// delayed expansion is on) and "call" doubles ^. Outside quotes it also splits at , ; = and
// reads & | < > as operators and ( ) as a block.
bool plainForCmd(const QString& text)
{
    // cmd reads its command line as text; a byte of a name that is not UTF-8 is no text.
    if (printableFileName(text) != text)
        return false;
    const bool quoted = text.isEmpty() || text.contains(u' ');
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
        switch (c.unicode()) {
        case u'%': case u'!': case u'^': case u'"':
            return false;
        case u'&': case u'|': case u'<': case u'>': case u'(': case u')': case u',': case u';': case u'=':
            if (!quoted)
                return false;
            break;
        default:
            break;
        }
    }
    return true;
}

} // namespace

XdgDesktopLauncher::Host XdgDesktopLauncher::Host::fromEnvironment()
{
    return Host{{}, qEnvironmentVariable("XDG_CURRENT_DESKTOP")};
}

XdgDesktopLauncher::XdgDesktopLauncher()
    : ownLauncher_(std::make_unique<DetachedProcessLauncher>()),
      launcher_(*ownLauncher_),
      host_(Host::fromEnvironment())
{
}

XdgDesktopLauncher::XdgDesktopLauncher(ProcessLauncher& launcher, Host host)
    : launcher_(launcher), host_(std::move(host))
{
}

XdgDesktopLauncher::~XdgDesktopLauncher() = default;

bool XdgDesktopLauncher::openDocument(const QString& target)
{
    const std::optional<QUrl> url = documentUrl(target);
    return url && QDesktopServices::openUrl(*url);
}

bool XdgDesktopLauncher::openHelp(const QString& path)
{
    if (!QDir::isAbsolutePath(path) || !isRegularFile(path))
        return false;
    return QDesktopServices::openUrl(localFileUrl(path));
}

bool XdgDesktopLauncher::openSettings()
{
    const QStringList candidates = settingsCandidates(host_.currentDesktop);
    for (const QString& name : candidates) {
        const QString exe = QStandardPaths::findExecutable(name, host_.searchPaths);
        if (!exe.isEmpty() && launcher_.startDetached(exe, {}, {}))
            return true;
    }
    return false;
}

bool XdgDesktopLauncher::runProgram(const QString& program, const QString& parameters)
{
    if (program.isEmpty())
        return false;
    const std::optional<QStringList> args = splitArguments(parameters);
    if (!args)
        return false;
    // The file list hands over absolute paths; a relative one is not guessed at.
    if (!QDir::isAbsolutePath(program) || !isRegularFile(program))
        return false;
    const QString path = QDir::cleanPath(program);
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString folder = slash == 0 ? QStringLiteral("/") : path.left(slash);
    const QString fileName = path.mid(slash + 1);

    switch (programKind(path)) {
    case ProgramKind::Native:
        return launcher_.startDetached(path, *args, folder);
    case ProgramKind::Windows: {
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"), host_.searchPaths);
        return !wine.isEmpty() && launcher_.startDetached(wine, QStringList{path} + *args, folder);
    }
    case ProgramKind::Batch: {
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"), host_.searchPaths);
        if (wine.isEmpty() || !plainForCmd(fileName)
            || !std::all_of(args->cbegin(), args->cend(), plainForCmd))
            return false;
        // By its bare name in its own folder, so no Unix path has to become a drive path;
        // "call" keeps cmd from stripping the quotes Wine puts around a name with blanks.
        const QStringList cmdArgs{QStringLiteral("cmd"), QStringLiteral("/c"), QStringLiteral("call"),
                                  fileName};
        return launcher_.startDetached(wine, cmdArgs + *args, folder);
    }
    case ProgramKind::None:
        break;
    }
    return false;
}

} // namespace orv
