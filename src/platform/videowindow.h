#pragma once

#include <QMediaPlayer>
#include <QPointer>
#include <QWidget>

class QAudioOutput;
class QVideoWidget;

namespace orv {

// One video playing: the player and, once the media turns out to hold a picture, a window
// titled with the file name, sized to the video and centred (or full screen). Media without
// a picture plays its sound with no window. Escape or closing the window stops playback;
// the end of the media, a load failure or release() does the same. Stopping deletes the
// object (later, from the event loop), taking the player with it.
class VideoWindow final : public QWidget {
    Q_OBJECT
public:
    VideoWindow(const QString& path, bool fullScreen);
    ~VideoWindow() override;

    void release();
    // In a window, keys other than Escape go on to this window (see MediaControl).
    void passKeysTo(QWidget* window) { keysTo_ = window; }

    QMediaPlayer* player() const { return player_; }
    // True once a decoded picture reached the window.
    bool hasShownFrame() const { return frameShown_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void mediaStatusChanged(QMediaPlayer::MediaStatus status);
    void present();
    void frameArrived(QSize size);
    void fitTo(QSize videoSize);

    QMediaPlayer* player_;
    QAudioOutput* audio_;
    QVideoWidget* video_;
    bool fullScreen_;
    bool presented_ = false;
    bool frameShown_ = false;
    bool sizeKnown_ = false;
    bool released_ = false;
    // The window that had the keys when this one showed.
    QPointer<QWidget> hadKeys_;
    QPointer<QWidget> keysTo_;
    // The file held open for a name that is not UTF-8, played through /proc/self/fd.
    int heldFile_ = -1;
};

} // namespace orv
