#pragma once

#include <QStatusBar>

class QLabel;
class QTimer;

namespace orv {

// The main window's status bar: panel 1 holds a text the window writes; panels 2 and 3 show
// the time and the date in the system's short formats and keep themselves current.
class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusPanels(QWidget* parent = nullptr);

    // Panels are numbered from 1.
    QLabel* panel(int n) const;
    void setPanelText(int n, const QString& text);
    QString panelText(int n) const;
    void setPanelToolTip(int n, const QString& tip);

    // Re-reads the clock now (also done by the status bar's own timer).
    void updateClock();

private:
    QLabel* panels_[3];
    QTimer* timer_;
};

} // namespace orv
