#pragma once

#include <QImage>
#include <QWidget>

namespace orv {

// A picture button of the editor's toolbar. It shows its raised picture, or its pressed one
// while a mouse button is held on it; dragged off with the left button held it looks raised
// again, and dragged back pressed. A left press released over it is a click.
class ToolbarButton : public QWidget {
    Q_OBJECT
public:
    ToolbarButton(QImage up, QImage down, QWidget* parent = nullptr);

    // The picture shown now: the raised or the pressed one.
    const QImage& picture() const { return *shown_; }
    const QImage& upPicture() const { return up_; }
    const QImage& downPicture() const { return down_; }

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void show(const QImage& picture);

    QImage up_;
    QImage down_;
    const QImage* shown_ = &up_;
    bool leftPressed_ = false;
};

} // namespace orv
