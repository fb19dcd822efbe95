#pragma once

#include "platform/mediacontrol.h"

#include <QPointer>
#include <QWidget>

#include <memory>

namespace orv {

class VideoWindow;

// Video on Qt Multimedia's GStreamer backend. Only one video plays at a time: a new play
// releases the one before. Construct it before anything else touches Qt Multimedia,
// since it is what keeps Qt off its other backend.
class QtMediaControl final : public MediaControl {
public:
    QtMediaControl();
    ~QtMediaControl() override;
    QtMediaControl(const QtMediaControl&) = delete;
    QtMediaControl& operator=(const QtMediaControl&) = delete;

    bool play(const QString& path, bool fullScreen) override;
    void passKeysTo(QWidget* window) override { keysTo_ = window; }

    // The window of the video now playing, null when none is.
    VideoWindow* current() const;
    // The window videos play in, null before the first.
    VideoWindow* window() const { return window_.get(); }

    // Points Qt Multimedia at GStreamer; Qt reads the choice once, at its first use.
    static void chooseBackend();

private:
    std::unique_ptr<VideoWindow> window_;
    QPointer<QWidget> keysTo_;
};

} // namespace orv
