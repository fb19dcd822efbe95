#include "mediacommand.h"

namespace orv {

MediaCommand MediaCommand::parse(const QString& command)
{
    static const QString play = QStringLiteral("play ");
    static const QString fullScreen = QStringLiteral(" fullscreen");

    MediaCommand parsed;
    if (!command.startsWith(play, Qt::CaseInsensitive))
        return parsed;
    QString path = command.mid(play.size());
    if (path.endsWith(fullScreen, Qt::CaseInsensitive)) {
        path.chop(fullScreen.size());
        parsed.fullScreen = true;
    }
    if (path.trimmed().isEmpty())
        return {};
    parsed.verb = Verb::Play;
    parsed.path = path;
    return parsed;
}

} // namespace orv
