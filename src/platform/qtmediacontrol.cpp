#include "qtmediacontrol.h"

#include "gstreamerelements.h"
#include "mediacommand.h"
#include "videowindow.h"

#include <QFileInfo>

namespace orv {

void QtMediaControl::chooseBackend()
{
    // Qt 6.4's FFmpeg backend crashes when there is no audio device.
    qputenv("QT_MEDIA_BACKEND", "gstreamer");
}

QtMediaControl::QtMediaControl()
{
    chooseBackend();
}

QtMediaControl::~QtMediaControl()
{
    delete m_window.data();
}

VideoWindow* QtMediaControl::current() const
{
    return m_window.data();
}

bool QtMediaControl::sendString(const QString& command)
{
    const MediaCommand parsed = MediaCommand::parse(command);
    if (parsed.verb != MediaCommand::Verb::Play)
        return false;
    // A path that names no readable file leaves whatever plays alone.
    const QFileInfo file(parsed.path);
    if (!file.isFile() || !file.isReadable())
        return false;
    // Qt's player crashes when GStreamer lacks its elements: check before making one.
    if (!missingPlayerElements().isEmpty())
        return false;
    if (m_window)
        m_window->release();
    m_window = new VideoWindow(file.absoluteFilePath(), parsed.fullScreen);
    return true;
}

} // namespace orv
