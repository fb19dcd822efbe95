#pragma once

#include <QWidget>

namespace orv {

class AppContext;

// The splash window: the banner on its own, greeting the user at start and standing behind
// the About box. A character key or a mouse button on it brings up the main window.
class Intro : public QWidget {
    Q_OBJECT
public:
    explicit Intro(AppContext& ctx, QWidget* parent = nullptr);

    // At start-up (not for the About box) the main window stays hidden behind the splash.
    void Form_Load();

protected:
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void dismiss();
    AppContext& ctx_;
    QPixmap banner_;
    bool painted_ = false;
};

} // namespace orv
