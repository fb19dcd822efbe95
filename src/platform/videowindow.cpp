#include "videowindow.h"

#include "common/core/filenames.h"
#include "platform/windowfocus.h"

#include <QApplication>
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

#include <fcntl.h>
#include <utility>
#include <unistd.h>

namespace orv {

namespace {

constexpr QSize FallbackSize(320, 240);

} // namespace

VideoWindow::VideoWindow()
    : video_(new QVideoWidget(this))
{
    setFocusPolicy(Qt::StrongFocus);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(video_);
    video_->setFocusPolicy(Qt::NoFocus);
    connect(video_->videoSink(), &QVideoSink::videoFrameChanged, this,
            [this](const QVideoFrame& frame) { frameArrived(frame.size()); });
}

VideoWindow::~VideoWindow()
{
    if (player_) {
        player_->disconnect(this);
        player_->stop();
        player_->setVideoOutput(nullptr);
    }
}

void VideoWindow::play(const QString& path, bool fullScreen)
{
    release();
    fullScreen_ = fullScreen;
    presented_ = false;
    frameShown_ = false;
    sizeKnown_ = false;
    setWindowTitle(QFileInfo(path).fileName());
    // A video in a window leaves the keys with the file list; the full screen takes them
    // (Escape ends it). Changing the flag makes the native window anew: only when it differs.
    if (windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus) == fullScreen)
        setWindowFlag(Qt::WindowDoesNotAcceptFocus, !fullScreen);

    player_ = new QMediaPlayer(this);
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, &VideoWindow::mediaStatusChanged);
    connect(player_, &QMediaPlayer::hasVideoChanged, this, [this](bool video) {
        if (video)
            present();
    });
    connect(player_, &QMediaPlayer::errorOccurred, this, &VideoWindow::release);
    player_->setAudioOutput(new QAudioOutput(player_));
    player_->setVideoOutput(video_);
    // A URL cannot carry name bytes that are not UTF-8 to the player: such a file is opened
    // here and played through the descriptor's name, held as long as the player lives.
    const QByteArray native = encodeFileName(path);
    QString source = path;
    if (native != path.toUtf8()) {
        const int held = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (held >= 0) {
            source = QStringLiteral("/proc/self/fd/%1").arg(held);
            connect(player_, &QObject::destroyed, [held] { ::close(held); });
        }
    }
    player_->setSource(QUrl::fromLocalFile(source));
    player_->play();
}

void VideoWindow::mediaStatusChanged(QMediaPlayer::MediaStatus status)
{
    switch (status) {
    case QMediaPlayer::LoadedMedia:
    case QMediaPlayer::BufferedMedia:
        // No picture stream (or no codec for it) leaves the sound playing without a window.
        if (player_->hasVideo())
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
        // A Wayland compositor places windows itself.
        if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
            move(area.center() - rect().center());
    } else {
        resize(size);
    }
}

void VideoWindow::present()
{
    if (presented_ || !player_)
        return;
    // A video that loads while a question is open (the one about the next file, or a read
    // error) would show under it, blocked yet given the keys by a window manager that activates
    // every new window: the question could not be answered from the keyboard, and once it went
    // the keys went nowhere until the video window went too. It shows when the question goes.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != this) {
        if (waitingOn_ != modal) {
            stopWaiting();
            waitingOn_ = modal;
            modal->installEventFilter(this);
        }
        return;
    }
    stopWaiting();
    presented_ = true;
    QSize size = player_->metaData().value(QMediaMetaData::Resolution).toSize();
    if (size.isEmpty())
        size = video_->videoSink()->videoSize();
    // Without a size yet, the first frame sets it.
    sizeKnown_ = !size.isEmpty();
    fitTo(sizeKnown_ ? size : FallbackSize);
    // The full screen gives the keys back at its end.
    // Shown again before the window system has moved the keys off it: the owner stays the one
    // of the video before.
    if (QWidget* active = QApplication::activeWindow(); active != this)
        hadKeys_ = active;
    const bool mayActivate = !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    if (fullScreen_) {
        letTakeKeys(this);
        showFullScreen();
        raise();
        if (mayActivate)
            activateWindow();
        return;
    }
    setWindowState(windowState() & ~Qt::WindowFullScreen);
    showWithoutTakingKeys(this, mayActivate);
}

void VideoWindow::frameArrived(QSize size)
{
    if (!player_ || !size.isValid() || size.isEmpty())
        return;
    frameShown_ = true;
    if (!sizeKnown_ && presented_ && !fullScreen_) {
        sizeKnown_ = true;
        fitTo(size);
    }
}

void VideoWindow::stopWaiting()
{
    if (waitingOn_)
        waitingOn_->removeEventFilter(this);
    waitingOn_ = nullptr;
}

bool VideoWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Queued: the question is still the modal window while its hide is under way.
    if (watched == waitingOn_ && event->type() == QEvent::Hide)
        QMetaObject::invokeMethod(this, &VideoWindow::present, Qt::QueuedConnection);
    return QWidget::eventFilter(watched, event);
}

void VideoWindow::release()
{
    stopWaiting();
    if (!player_)
        return;
    // Called from the player's own signals too: it goes once they are done.
    QMediaPlayer* player = std::exchange(player_, nullptr);
    player->disconnect(this);
    player->stop();
    player->setVideoOutput(nullptr);
    player->deleteLater();
    // A window that goes while it has the keys hands them back, or nothing would have them.
    QWidget* owner = hadKeys_ ? hadKeys_.data() : keysTo_.data();
    if (isActiveWindow() && owner && owner != this && owner->isVisible()
        && !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        owner->activateWindow();
    hide();
}

void VideoWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        release();
        return;
    }
    if (!fullScreen_ && passKeyOn(*event, keysTo_))
        return;
    QWidget::keyPressEvent(event);
}

void VideoWindow::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape && !fullScreen_ && passKeyOn(*event, keysTo_))
        return;
    QWidget::keyReleaseEvent(event);
}

void VideoWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    release();
}

} // namespace orv
