#pragma once

#include <QPixmap>
#include <QPointer>
#include <QPolygonF>
#include <QTimer>
#include <QWidget>

#include <array>
#include <vector>

class QWindow;

namespace orv {

class ModPlayerInstance;

// What the plug-in draws in the player window: the module's title and format, the time played,
// a level meter per side and an oscilloscope of what the audio thread last played, 25 times a
// second. What never moves is drawn once into a picture; a frame repaints only the parts that
// changed. Nothing ticks while the window is hidden, minimised or unmapped, nor once playback
// has stopped and the meters have fallen. It fills its parent and goes with it; its instance
// deletes it first when the instance goes before the window.
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
    void renderBackground();
    void setElapsed(int seconds);
    void traceScope();

    const ModPlayerInstance& m_instance;
    QTimer m_timer;
    QPointer<QWindow> m_watchedWindow;  // for its exposure
    bool m_shown = false;
    bool m_moving = false;

    // Layout, from the size.
    QFont m_font;
    QRect m_textRect;
    QRect m_scopeRect;
    std::array<QRect, 2> m_tracks;
    QRect m_timeArea;
    QRect m_scopeArea;
    QRect m_barsArea;

    // Title, track lines and meter tracks; drawn again when the size, title or time width change.
    QPixmap m_background;
    bool m_backgroundValid = false;

    // What is on screen of the moving parts.
    int m_seconds = 0;
    QString m_elapsed;
    int m_timeWidth = 0;
    std::vector<float> m_scope;
    QPolygonF m_trace;
    std::array<float, 2> m_levels {0.0f, 0.0f};
    std::array<int, 2> m_filled {0, 0};
    std::array<bool, 2> m_loud {false, false};
};

} // namespace orv
