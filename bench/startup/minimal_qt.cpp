// The yardstick: a minimal Qt Widgets program that shows a main window and a splash-sized
// window, and quits as soon as both have painted.
#include <QApplication>
#include <QMainWindow>
#include <QPainter>
#include <QTimer>

namespace {

class Painted : public QWidget {
public:
    explicit Painted(int* count) : count_(count) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).fillRect(rect(), Qt::darkBlue);
        if (!done_) {
            done_ = true;
            if (++*count_ == 2)
                QTimer::singleShot(0, qApp, &QApplication::quit);
        }
    }

private:
    int* count_;
    bool done_ = false;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int painted = 0;
    QMainWindow main;
    auto* central = new Painted(&painted);
    main.setCentralWidget(central);
    main.resize(671, 344);
    main.show();
    Painted splash(&painted);
    splash.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    splash.resize(397, 143);
    splash.show();
    return QApplication::exec();
}
