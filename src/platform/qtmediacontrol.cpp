#include "qtmediacontrol.h"

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

void QtMediaControl::play(const QString& path, bool fullScreen)
{
    // A path that names no readable file leaves whatever plays alone.
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable())
        return;
    if (m_window)
        m_window->release();
    m_window = new VideoWindow(file.absoluteFilePath(), fullScreen);
}

} // namespace orv
