#include "qtmediacontrol.h"

#include "gstreamerelements.h"
#include "videowindow.h"

#include "common/core/filenames.h"

#include <QFileInfo>

#include <unistd.h>

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

QtMediaControl::~QtMediaControl() = default;

VideoWindow* QtMediaControl::current() const
{
    return window_ && window_->isPlaying() ? window_.get() : nullptr;
}

bool QtMediaControl::play(const QString& path, bool fullScreen)
{
    // A path that names no readable file leaves whatever plays alone.
    if (!isRegularFile(path) || ::access(encodeFileName(path).constData(), R_OK) != 0)
        return false;
    // Qt's player crashes when GStreamer lacks its elements: check before making one.
    if (!missingPlayerElements().isEmpty())
        return false;
    // One window for every video: see VideoWindow.
    if (!window_)
        window_ = std::make_unique<VideoWindow>();
    window_->passKeysTo(keysTo_);
    window_->play(QFileInfo(path).absoluteFilePath(), fullScreen);
    return true;
}

} // namespace orv
