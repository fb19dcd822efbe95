#pragma once

#include <QMediaPlayer>
#include <QPointer>
#include <QWidget>

class QAudioOutput;
class QVideoWidget;

namespace orv {

// The window videos play in: each play() makes a player for the file and, once the media turns
// out to hold a picture, shows the window titled with the file name, sized to the video and
// centred (or full screen). Media without a picture plays its sound with no window. Escape or
// closing the window stops playback; the end of the media, a load failure or release() does the
// same. Stopping hides the window and lets the player go; the window and its video output stay
// for the next video, since Qt keeps for good what a video output allocates to draw without a
// GPU, and one of those per video adds up over a long run.
class VideoWindow final : public QWidget {
    Q_OBJECT
public:
    VideoWindow();
    ~VideoWindow() override;

    // Stops whatever plays and starts the file.
    void play(const QString& path, bool fullScreen);
    void release();
    bool isPlaying() const { return player_ != nullptr; }
    // In a window, keys other than Escape go on to this window (see MediaControl).
    void passKeysTo(QWidget* window) { keysTo_ = window; }

    // The player of the video playing, null when none plays.
    QMediaPlayer* player() const { return player_; }
    // True once a decoded picture reached the window.
    bool hasShownFrame() const { return frameShown_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void mediaStatusChanged(QMediaPlayer::MediaStatus status);
    void present();
    void stopWaiting();
    void frameArrived(QSize size);
    void fitTo(QSize videoSize);

    QMediaPlayer* player_ = nullptr;
    QVideoWidget* video_;
    bool fullScreen_ = false;
    bool presented_ = false;
    bool frameShown_ = false;
    bool sizeKnown_ = false;
    // The window that had the keys when this one showed.
    QPointer<QWidget> hadKeys_;
    QPointer<QWidget> keysTo_;
    // The question the window waits on before it shows (see present()).
    QPointer<QWidget> waitingOn_;
};

} // namespace orv
