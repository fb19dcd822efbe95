#pragma once

#include <QTimer>
#include <QWidget>

#include <array>

namespace orv {

class ModPlayerInstance;

// What the plug-in draws in the player window: the module's title and format, the time played,
// a level meter per side and an oscilloscope of what the audio thread last played, repainted
// 25 times a second. It fills its parent and goes with it; its instance deletes it first when
// the instance goes before the window.
class ModPlugView final : public QWidget {
public:
    ModPlugView(const ModPlayerInstance& instance, QWidget* window);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const ModPlayerInstance& instance_;
    QTimer timer_;
    std::array<float, 2> levels_ {0.0f, 0.0f};
};

} // namespace orv
