#include "platform/desktoplauncher.h"

#include "platform/commandsplit.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <optional>

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
std::optional<QUrl> documentUrl(const QString& target)
{
    if (target.isEmpty())
        return std::nullopt;
    if (QDir::isAbsolutePath(target)) {
        if (!QFileInfo::exists(target))
            return std::nullopt;
        return QUrl::fromLocalFile(target);
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
    if (scheme == u"file" && url.isLocalFile() && QFileInfo::exists(url.toLocalFile()))
        return QUrl::fromLocalFile(url.toLocalFile());
    return std::nullopt;
}

enum class ProgramKind { None, Native, Windows, Batch };

ProgramKind programKind(const QFileInfo& file)
{
    QFile f(file.absoluteFilePath());
    const QByteArray head = f.open(QIODevice::ReadOnly) ? f.read(4) : QByteArray();
    if (head.startsWith("\x7f" "ELF") || head.startsWith("#!"))
        return file.isExecutable() ? ProgramKind::Native : ProgramKind::None;
    // Windows files keep their type in the name; on a FAT volume they may look executable too.
    const QString suffix = file.suffix().toLower();
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
    if (!QDir::isAbsolutePath(path) || !QFileInfo(path).isFile())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
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
    const QFileInfo file(program);
    if (!file.isFile())
        return false;
    const QString path = file.absoluteFilePath();
    const QString folder = file.absolutePath();

    switch (programKind(file)) {
    case ProgramKind::Native:
        return launcher_.startDetached(path, *args, folder);
    case ProgramKind::Windows: {
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"), host_.searchPaths);
        return !wine.isEmpty() && launcher_.startDetached(wine, QStringList{path} + *args, folder);
    }
    case ProgramKind::Batch: {
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"), host_.searchPaths);
        if (wine.isEmpty() || !plainForCmd(file.fileName())
            || !std::all_of(args->cbegin(), args->cend(), plainForCmd))
            return false;
        // By its bare name in its own folder, so no Unix path has to become a drive path;
        // "call" keeps cmd from stripping the quotes Wine puts around a name with blanks.
        const QStringList cmdArgs{QStringLiteral("cmd"), QStringLiteral("/c"), QStringLiteral("call"),
                                  file.fileName()};
        return launcher_.startDetached(wine, cmdArgs + *args, folder);
    }
    case ProgramKind::None:
        break;
    }
    return false;
}

} // namespace orv
