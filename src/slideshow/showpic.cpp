#include "slideshow/showpic.h"

#include "common/appcontext.h"
#include "common/art.h"
#include "common/core/paths.h"
#include "common/twipslayout.h"
#include "platform/screenmetrics.h"
#include "pictures/picturepreloader.h"
#include "pictures/vectorpicture.h"
#include "platform/soundplayer.h"
#include "platform/windowplacement.h"
#include "slideshow/slideshowsource.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <utility>

namespace orv {

Showpic::Showpic(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), ctx_(ctx)
{
    setObjectName(QStringLiteral("Showpic"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    const ScreenMetrics& screen = *ctx_.services().screen;
    const TwipsLayout L(screen.twipsPerPixelX(), screen.twipsPerPixelY());
    lblShowFilename_ = new QLabel(this);
    lblShowFilename_->setObjectName(QStringLiteral("lblShowFilename"));
    lblShowFilename_->move(L.x(45), L.y(30));
    lblShowFilename_->setAttribute(Qt::WA_TransparentForMouseEvents);
    timeChange_ = new QTimer(this);
    timeChange_->setObjectName(QStringLiteral("timeChange"));
    timeChange_->setInterval(kDefaultIntervalMs);
    connect(timeChange_, &QTimer::timeout, this, &Showpic::timeChange_Timer);
    setCaptionColour(Qt::black);
    setPointerVisible(false);
    setAccessibleName(QStringLiteral("Full-screen view"));
}

Showpic::~Showpic() = default;

void Showpic::Form_Load()
{
    resize(ctx_.services().screen->screenPixels());
    move(0, 0);
    // Without a show the caption stays green and the pointer is the normal arrow; playShow
    // applies the editor's choices.
    setCaptionColour(Qt::black);
    setPointerVisible(true);
}

void Showpic::playShow(SlideShowSource& source)
{
    ctx_.setSinglePictureMode(false);
    source_ = &source;
    sourceObject_ = dynamic_cast<QObject*>(&source);
    sourceIsObject_ = !sourceObject_.isNull();
    applyLook(source);
    modes_ = playerModes(source.showSettings());
    timeChange_->setInterval(modes_.timerIntervalMs);
    timeChange_->start();
    lblShowFilename_->clear();
    lblShowFilename_->adjustSize();
    setWindowTitle(ctx_.text(kPlayingCaptionText).trimmed());
    // The slide on screen and the next one: two decoded pictures at most.
    preloader_ = std::make_unique<PicturePreloader>(*ctx_.services().pictures, 2);
    sequencer_ = std::make_unique<SlideSequencer>(
        [this](int, const QString& entry, SlideKind kind) { return prepare(entry, kind); });
    sequencer_->start();
    showView();
    ShowNext();
}

void Showpic::applyLook(const SlideShowSource& source)
{
    setCaptionColour(QColor::fromRgb(QRgb(source.captionColour())));
    setPointerVisible(source.showSettings().showPointer);
}

int Showpic::slideIndex() const
{
    return sequencer_ ? sequencer_->slideIndex() : 0;
}

bool Showpic::sourceGone() const
{
    return !source_ || (sourceIsObject_ && sourceObject_.isNull());
}

bool Showpic::prepare(const QString& entry, SlideKind kind)
{
    if (kind == SlideKind::Wave) {
        // A sound that is there but will not play is silent; one that is not there is skipped.
        const QFileInfo file(entry);
        if (!file.isFile() || !file.isReadable())
            return false;
        const ScreenMetrics& screen = *ctx_.services().screen;
        prepared_ = Picture{};
        prepared_.image = artImage("wave");
        prepared_.himetric = himetricForPixels(prepared_.image.size(), 1440.0 / screen.twipsPerPixelX(),
                                               1440.0 / screen.twipsPerPixelY());
        return true;
    }
    if (preloader_) {
        if (std::optional<PictureResult> ahead = preloader_->take(entry)) {
            if (!ahead->ok())
                return false;
            prepared_ = std::move(ahead->picture);
            preparedAhead_ = true;
            return true;
        }
        // Steps came faster than the look-ahead: stop it, so it does not compete with reading
        // this one now.
        preloader_->want({});
    }
    PictureResult r = ctx_.services().pictures->load(entry);
    preparedAhead_ = false;
    if (r.isPending()) {
        // Sizing a plain metafile walks all its records, which for a big one takes seconds:
        // the slide is shown (black) at once and its picture follows.
        prepared_ = Picture{};
        preparedPending_ = std::move(r.pending);
        return true;
    }
    if (!r.ok())
        return false;
    prepared_ = std::move(r.picture);
    return true;
}

void Showpic::runPendingLookAhead()
{
    if (const std::function<void()> run = std::exchange(pendingLookAhead_, {}))
        run();
}

void Showpic::lookAhead(const ShowView& view, const SlideStep& step)
{
    if (!preloader_)
        return;
    QStringList wanted;
    if (step.kind == SlideKind::Picture)
        wanted.append(step.entry);
    if (const std::optional<int> next = sequencer_->upcomingIndex(view)) {
        QString entry = view.entries.at(*next);
        if (namesIgnoreCase())
            CapitalizePath(entry);
        if (slideKindOf(entry) == SlideKind::Picture)
            wanted.append(entry);
    }
    preloader_->want(wanted);
    if (step.kind == SlideKind::Picture && !preparedAhead_)
        preloader_->add(step.entry, shown_);
}

void Showpic::ShowNext()
{
    if (!sequencer_ || sourceGone()) {
        close();
        return;
    }
    const ShowView view = source_->showView();
    const SlideStep step = sequencer_->ShowNext(view);
    pendingLookAhead_ = {};
    if (step.ended) {
        prepared_ = Picture{};
        close();
        return;
    }
    setPointerVisible(source_->showSettings().showPointer);
    showPicture(prepared_);
    prepared_ = Picture{};
    // Dropping the previous slide's pending metafile stops its walk.
    shownPending_ = std::exchange(preparedPending_, {});
    if (shownPending_) {
        connect(shownPending_.get(), &PendingPicture::finished, this, [this] {
            const std::shared_ptr<PendingPicture> done = std::exchange(shownPending_, {});
            if (done->result().ok())
                showPicture(done->result().picture);
            if (slideComplete())
                runPendingLookAhead();
        });
    }
    // After the slide has painted, and once it has all its rows (one decoding at a time):
    // dropping the previous picture and starting the next read cost time the step should not
    // wait for.
    pendingLookAhead_ = [this, view, step] { lookAhead(view, step); };
    if (slideComplete())
        QMetaObject::invokeMethod(this, &Showpic::runPendingLookAhead, Qt::QueuedConnection);
    if (step.kind == SlideKind::Wave)
        ctx_.services().sound->play(step.entry);
    if (step.caption) {
        lblShowFilename_->setText(*step.caption);
        lblShowFilename_->adjustSize();
    }
}

void Showpic::showPicture(const Picture& picture)
{
    if (shown_.completion)
        disconnect(shown_.completion.get(), nullptr, this, nullptr);
    shown_ = picture;
    vectorDrawn_ = false;
    const ScreenMetrics& screen = *ctx_.services().screen;
    const QPoint at = slideTopLeft(size(), screen.twipsPerPixelX(), screen.twipsPerPixelY(), picture.himetric);
    if (shown_.vector) {
        // A metafile is drawn for the part the screen shows, off this thread; black until it comes.
        drawPicture(QImage(), at);
        const QRect part = QRect(-at, size()).intersected(QRect(QPoint(), shown_.vector->size()));
        const std::weak_ptr<VectorPicture> shown = shown_.vector;
        shown_.vector->renderPart(part, this, [this, shown, at, part](const QImage& image) {
            if (shown_.vector != shown.lock())
                return;
            vectorDrawn_ = true;
            drawPicture(image, at + part.topLeft());
            runPendingLookAhead();
        });
        return;
    }
    // A large picture arrives with its top rows; the rest paints as it is decoded.
    if (shown_.completion && !shown_.completion->isDone()) {
        connect(shown_.completion.get(), &PictureCompletion::progressed, this, [this] {
            update();
            if (slideComplete())
                runPendingLookAhead();
        });
    }
    drawPicture(picture.image, at);
}

bool Showpic::slideComplete() const
{
    if (shownPending_)
        return false;
    if (shown_.vector)
        return vectorDrawn_;
    return shown_.rowsReady() == shown_.image.height();
}

void Showpic::setCaptionColour(QColor colour)
{
    const QColor c = colour == QColor(Qt::black) ? QColor(0, 255, 0) : colour;
    QPalette pal = lblShowFilename_->palette();
    pal.setColor(QPalette::WindowText, c);
    lblShowFilename_->setPalette(pal);
}

void Showpic::setPointerVisible(bool visible)
{
    setCursor(visible ? Qt::ArrowCursor : Qt::BlankCursor);
}

void Showpic::setCaption(const QString& caption)
{
    setWindowTitle(caption);
}

void Showpic::showView()
{
    showFullScreen();
    bringToFront(this, *ctx_.services().screen);
    setFocus(Qt::OtherFocusReason);
}

void Showpic::drawPicture(const QImage& picture, QPoint topLeft)
{
    picture_ = picture;
    pictureAt_ = topLeft;
    update();
}

void Showpic::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    p.fillRect(e->rect(), Qt::black);
    if (picture_.isNull())
        return;
    // Only rows already decoded are drawn; the others are still being written.
    const int rows = shown_.image.cacheKey() == picture_.cacheKey() ? shown_.rowsReady() : picture_.height();
    p.drawImage(pictureAt_, picture_, QRect(0, 0, picture_.width(), rows));
}

void Showpic::act(PlayerInput input)
{
    switch (playerAction(input, ctx_.singlePictureMode(), modes_)) {
    case PlayerAction::Nothing:
        break;
    case PlayerAction::Advance:
        ShowNext();
        break;
    case PlayerAction::Close:
        close();
        break;
    }
}

void Showpic::keyPressEvent(QKeyEvent* e)
{
    const std::optional<PlayerInput> input = keyInput(e->text());
    if (!input) {
        QWidget::keyPressEvent(e);
        return;
    }
    act(*input);
}

void Showpic::mousePressEvent(QMouseEvent* e)
{
    switch (e->button()) {
    case Qt::LeftButton: act(PlayerInput::LeftButton); break;
    case Qt::RightButton: act(PlayerInput::RightButton); break;
    case Qt::MiddleButton: act(PlayerInput::MiddleButton); break;
    default: break;
    }
}

void Showpic::timeChange_Timer()
{
    if (sequencer_)
        act(PlayerInput::Tick);
}

void Showpic::closeEvent(QCloseEvent* e)
{
    ctx_.setSinglePictureMode(false);
    timeChange_->stop();
    if (preloader_)
        preloader_->clear();
    QWidget::closeEvent(e);
}

} // namespace orv
