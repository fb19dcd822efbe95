// The yardstick: a minimal Qt Widgets program that shows a main window with a line of text and
// a splash-sized window, and quits as soon as both have painted.
#include <QApplication>
#include <QLabel>
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
                QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
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
    // Any real program shows some text, which loads the font database.
    auto* label = new QLabel(QStringLiteral("A minimal Qt Widgets program"), central);
    label->move(10, 10);
    main.setCentralWidget(central);
    main.resize(671, 344);
    main.show();
    Painted splash(&painted);
    splash.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    splash.resize(397, 143);
    splash.show();
    return QApplication::exec();
}
