#include "videowindow.h"

#include <QAudioOutput>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMediaMetaData>
#include <QPalette>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoFrame>
#include <QVideoSink>
#include <QVideoWidget>

namespace orv {

namespace {

constexpr QSize FallbackSize(320, 240);

} // namespace

VideoWindow::VideoWindow(const QString& path, bool fullScreen)
    : m_player(new QMediaPlayer(this)),
      m_audio(new QAudioOutput(this)),
      m_video(new QVideoWidget(this)),
      m_fullScreen(fullScreen)
{
    setWindowTitle(QFileInfo(path).fileName());
    setFocusPolicy(Qt::StrongFocus);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_video);
    m_video->setFocusPolicy(Qt::NoFocus);

    connect(m_player, &QMediaPlayer::mediaStatusChanged, this, &VideoWindow::mediaStatusChanged);
    connect(m_player, &QMediaPlayer::hasVideoChanged, this, [this](bool video) {
        if (video)
            present();
    });
    connect(m_player, &QMediaPlayer::errorOccurred, this, &VideoWindow::release);
    connect(m_video->videoSink(), &QVideoSink::videoFrameChanged, this,
            [this](const QVideoFrame& frame) { frameArrived(frame.size()); });

    m_player->setAudioOutput(m_audio);
    m_player->setVideoOutput(m_video);
    m_player->setSource(QUrl::fromLocalFile(path));
    m_player->play();
}

VideoWindow::~VideoWindow()
{
    m_player->disconnect(this);
    m_player->stop();
}

void VideoWindow::mediaStatusChanged(QMediaPlayer::MediaStatus status)
{
    switch (status) {
    case QMediaPlayer::LoadedMedia:
    case QMediaPlayer::BufferedMedia:
        // No picture stream (or no codec for it) leaves the sound playing without a window.
        if (m_player->hasVideo())
            present();
        break;
    case QMediaPlayer::EndOfMedia:
    case QMediaPlayer::InvalidMedia:
        release();
        break;
    default:
        break;
    }
}

void VideoWindow::fitTo(QSize videoSize)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    QSize size = videoSize;
    if (screen) {
        const QRect area = screen->availableGeometry();
        size = size.boundedTo(area.size() * 9 / 10).expandedTo(QSize(1, 1));
        if (size != videoSize)
            size = videoSize.scaled(size, Qt::KeepAspectRatio);
        resize(size);
        move(area.center() - rect().center());
    } else {
        resize(size);
    }
}

void VideoWindow::present()
{
    if (m_presented || m_released)
        return;
    m_presented = true;
    QSize size = m_player->metaData().value(QMediaMetaData::Resolution).toSize();
    if (size.isEmpty())
        size = m_video->videoSink()->videoSize();
    // Without a size yet, the first frame sets it.
    m_sizeKnown = !size.isEmpty();
    fitTo(m_sizeKnown ? size : FallbackSize);
    if (m_fullScreen)
        showFullScreen();
    else
        show();
    raise();
    activateWindow();
}

void VideoWindow::frameArrived(QSize size)
{
    if (!size.isValid() || size.isEmpty())
        return;
    m_frameShown = true;
    if (!m_sizeKnown && m_presented && !m_fullScreen) {
        m_sizeKnown = true;
        fitTo(size);
    }
}

void VideoWindow::release()
{
    if (m_released)
        return;
    m_released = true;
    m_player->disconnect(this);
    m_video->videoSink()->disconnect(this);
    m_player->stop();
    hide();
    deleteLater();
}

void VideoWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        release();
        return;
    }
    QWidget::keyPressEvent(event);
}

void VideoWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    release();
}

} // namespace orv
