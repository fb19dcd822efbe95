#pragma once

#include "common/fullscreenview.h"
#include "pictures/pictureloader.h"
#include "slideshow/core/slidesequencer.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QTimer;

namespace orv {

class AppContext;
class PicturePreloader;
class SlideShowSource;

// The full-screen window: borderless, black, covering the screen. It plays slide shows from
// the editor (playShow) and shows a single picture for the main window
// (AppContext::singlePictureMode()).
class Showpic : public QWidget, public FullScreenView {
    Q_OBJECT
public:
    explicit Showpic(AppContext& ctx, QWidget* parent = nullptr);
    ~Showpic() override;

    // Sizes the window to the screen, sets the caption colour and the pointer.
    void Form_Load();

    // The editor's caption colour and pointer choice, which also apply to a single picture
    // while the editor is open.
    void applyLook(const SlideShowSource& source);

    // Starts the show `source` holds from its first entry: the modes, interval, colour and
    // pointer are taken now, the entries and the other settings at every step. The source
    // must outlive the show or be a QObject (the show then ends when it goes).
    void playShow(SlideShowSource& source);
    // One step: the next entry that can be shown, or the end of the show (the window closes).
    void ShowNext();

    // FullScreenView
    void setCaption(const QString& caption) override;
    void showView() override;
    QSize viewSizePixels() const override { return size(); }
    void drawPicture(const QImage& picture, QPoint topLeft) override;

    // The colour of the file-name caption; black leaves it green.
    void setCaptionColour(QColor colour);
    // Normal arrow, or the invisible pointer.
    void setPointerVisible(bool visible);

    // The show's step counter (the entry the next step tries first) and the timer.
    int slideIndex() const;
    const QTimer& timeChange() const { return *timeChange_; }
    // The decoded pictures held for the show: the one on screen and the next (for tests and
    // benchmarks); null outside a show.
    const PicturePreloader* lookAheadCache() const { return preloader_.get(); }
    // True once every row of the slide on screen is decoded.
    bool slideComplete() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void act(PlayerInput input);
    void timeChange_Timer();
    // Reads a slide's picture: the file as a picture, or the wave symbol for a sound.
    bool prepare(const QString& entry, SlideKind kind);
    bool sourceGone() const;
    void showPicture(const Picture& picture);
    // Keeps the slide on screen and the next picture of the show decoded, and nothing else.
    void lookAhead(const ShowView& view, const SlideStep& step);
    void runPendingLookAhead();

    AppContext& ctx_;
    QLabel* lblShowFilename_ = nullptr;
    QTimer* timeChange_ = nullptr;
    QImage picture_;
    QPoint pictureAt_;

    SlideShowSource* source_ = nullptr;
    QPointer<QObject> sourceObject_;
    bool sourceIsObject_ = false;
    PlayerModes modes_;
    std::unique_ptr<SlideSequencer> sequencer_;
    // The slide prepared by the step under way, and the one on screen (kept while a large
    // picture still fills in).
    Picture prepared_;
    bool preparedAhead_ = false;
    Picture shown_;
    // A metafile still being sized off the UI thread: for the step under way, then for the
    // slide on screen, which shows black until it is known.
    std::shared_ptr<PendingPicture> preparedPending_;
    std::shared_ptr<PendingPicture> shownPending_;
    // The part of a metafile slide the screen shows has been drawn.
    bool vectorDrawn_ = false;
    std::unique_ptr<PicturePreloader> preloader_;
    // A look-ahead held back until the slide on screen has all its rows.
    std::function<void()> pendingLookAhead_;
};

} // namespace orv
