#pragma once

#include <QMediaPlayer>
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

    QMediaPlayer* player() const { return m_player; }
    // True once a decoded picture reached the window.
    bool hasShownFrame() const { return m_frameShown; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void mediaStatusChanged(QMediaPlayer::MediaStatus status);
    void present();
    void frameArrived(QSize size);
    void fitTo(QSize videoSize);

    QMediaPlayer* m_player;
    QAudioOutput* m_audio;
    QVideoWidget* m_video;
    bool m_fullScreen;
    bool m_presented = false;
    bool m_frameShown = false;
    bool m_sizeKnown = false;
    bool m_released = false;
};

} // namespace orv
