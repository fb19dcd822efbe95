#pragma once

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <vector>

class QWindow;

namespace orv {

class ModPlayerInstance;

// What the plug-in draws in the player window: the module's title and format, the time played,
// a level meter per side and an oscilloscope of what the audio thread last played, ten times a
// second. The view keeps the picture it shows: what never moves is drawn once, and a frame
// redraws and repaints only the parts that changed, the trace plotted column by column
// (QPainter's line stroker costs more than all the rest of a frame). Nothing ticks while the
// window is hidden, minimised or unmapped, nor once playback has stopped and the meters have
// fallen. It fills its parent and goes with it; its instance deletes it first when the
// instance goes before the window.
class ModPlugView final : public QWidget {
public:
    ModPlugView(const ModPlayerInstance& instance, QWidget* window);

    // The instance loaded, started or stopped a module: the title may differ and frames may come.
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool seen() const;
    void resume();
    void tick();
    void layOut();
    void rebuild();
    void restore(const QRect& area);
    void fill(const QRect& area, QRgb colour);
    QRect toDevice(const QRect& area) const;
    void drawClock();
    void drawTrace();
    void drawBars();
    void traceRows(std::vector<int>& rows) const;

    const ModPlayerInstance& instance_;
    QTimer* timer_;  // the frames; a child named "frames"
    QPointer<QWindow> watchedWindow_;  // for its exposure
    bool shown_ = false;
    bool moving_ = false;

    // Layout, from the size.
    QFont font_;
    QRect textRect_;
    QRect scopeRect_;
    std::array<QRect, 2> tracks_;
    QRect timeArea_;
    QRect scopeArea_;
    QRect barsArea_;

    // The still parts (title, track lines, meter tracks), and over them what is on screen.
    QImage background_;
    QImage frame_;
    bool frameValid_ = false;

    // The moving parts as last drawn.
    int seconds_ = 0;
    QString elapsed_;
    int timeWidth_ = 0;
    std::vector<float> scope_;
    std::vector<int> rows_;  // the trace's pixel row in each column; empty while nothing plays
    std::vector<int> nextRows_;
    std::array<float, 2> levels_ {0.0f, 0.0f};
    std::array<int, 2> filled_ {0, 0};
    std::array<bool, 2> loud_ {false, false};
};

} // namespace orv
