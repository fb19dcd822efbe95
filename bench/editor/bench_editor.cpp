// Opening a 65,000-byte text file in the editor until its window has painted, and one key
// typed into it until repainted, each against a bare QPlainTextEdit window fed the same file
// in the same run. Usage: bench_editor [runs]
#include "common/appcontext.h"
#include "common/core/prompts.h"
#include "common/core/settingsstore.h"
#include "editor/frmmdi.h"
#include "editor/frmnotepad.h"
#include "editor/textbox.h"
#include "editor/texteditor.h"
#include "platform/core/processenvironment.h"
#include "platform/screenmetrics.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

using namespace orv;

namespace {

// Nothing here may ask anything: a question means the benchmark went wrong.
class NoPrompts final : public Prompts {
public:
    PromptAnswer message(const QString& text, const QString&, PromptIcon, PromptButtons) override { fail(text); }
    std::optional<QString> input(const QString& text, const QString&, const QString&) override { fail(text); }
    QString openFileName(const QString& text, const QString&, const QList<FileFilter>&) override { fail(text); }
    QString saveFileName(const QString& text, const QString&, const QList<FileFilter>&) override { fail(text); }

private:
    [[noreturn]] static void fail(const QString& text)
    {
        std::fprintf(stderr, "unexpected question: %s\n", qPrintable(text));
        std::exit(2);
    }
};

// Lines of prose, 65,000 bytes in all, LF line ends, some letters outside ASCII.
QByteArray sampleText()
{
    const QByteArray words[] = {"the", "quick", "brown", "fox", "jumps", "over", "a", "lazy", "dog", "while",
                                "café", "owners", "count", "their", "coins", "and", "sing", "naïve", "songs"};
    QByteArray text;
    QByteArray line;
    unsigned seed = 7;
    while (text.size() < 64900) {
        seed = seed * 1103515245u + 12345u;
        const QByteArray& w = words[(seed >> 16) % std::size(words)];
        if (line.size() + w.size() + 1 > 72) {
            text += line + '\n';
            line.clear();
        }
        line += line.isEmpty() ? w : ' ' + w;
    }
    // ASCII up to the size, so no character is cut.
    return text + QByteArray(64999 - text.size(), 'z') + '\n';
}

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// Times an action until the widget it returns has painted (a paint during the action counts:
// every paint is noted), then leaves a moment with nothing to do, as a user does between two
// actions, so whatever an action left for idle time runs outside the next measurement.
class PaintWatch : public QObject {
public:
    PaintWatch() { qApp->installEventFilter(this); }

    double time(const std::function<QWidget*()>& action)
    {
        painted_.clear();
        const double cpu0 = threadCpuMs();
        QElapsedTimer t;
        t.start();
        QWidget* w = action();
        if (!w) {
            std::fprintf(stderr, "nothing to watch\n");
            std::exit(2);
        }
        while (!painted_.contains(w))
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        const double ms = double(t.nsecsElapsed()) / 1e6;
        lastCpu = threadCpuMs() - cpu0;
        QDeadlineTimer idle(20);
        while (!idle.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return ms;
    }

    // This thread's processor time in the last measurement: what the work itself cost, less
    // sensitive than the wall clock to other programs running on the machine.
    double lastCpu = 0;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            painted_.append(o);
        return false;
    }

private:
    QList<QObject*> painted_;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void typeKey(QWidget* w)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QCoreApplication::sendEvent(w, &press);
    QCoreApplication::sendEvent(w, &release);
}

// The caret at the end of the line in the middle of what the box shows.
void caretToMiddle(QPlainTextEdit& box)
{
    QTextCursor c(box.cursorForPosition(QPoint(box.viewport()->width() / 2, box.viewport()->height() / 2)).block());
    c.movePosition(QTextCursor::EndOfBlock);
    box.setTextCursor(c);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 21;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sample.txt"));
    const QByteArray bytes = sampleText();
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != 65000) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 2;
        }
    }
    const QString expected = QString::fromUtf8(bytes);

    SettingsStore store(dir.filePath(QStringLiteral("config")));
    NoPrompts prompts;
    QtScreenMetrics screen;
    RealProcessEnvironment process;
    AppContext ctx(store, prompts, PlatformServices{&screen, nullptr, nullptr, &process});
    TextEditor editor(ctx);
    editor.show();
    frmMDI& frame = *editor.frame();
    PaintWatch watch;
    watch.time([&] { return frame.activeDocument()->text().viewport(); });

    // The bare one gets the size and font of a document's box, known after the first open.
    QSize boxSize(400, 300);
    QFont boxFont;
    std::vector<double> oursOpen, bareOpen, oursKey, bareKey;
    std::vector<double> oursOpenCpu, bareOpenCpu, oursKeyCpu, bareKeyCpu;
    double firstOpen = 0;
    for (int i = -3; i < runs; ++i) {
        // Ours: the browser's hand-over, a new document window in the open frame. Bare: a new
        // QPlainTextEdit window. They take turns at going first, so neither has warmer caches.
        frmNotePad* opened = nullptr;
        QPlainTextEdit* bare = nullptr;
        const auto openOurs = [&] {
            return watch.time([&]() -> QWidget* {
                editor.openInEditor(path);
                opened = frame.activeDocument();
                return opened ? opened->text().viewport() : nullptr;
            });
        };
        const auto openBare = [&] {
            return watch.time([&]() -> QWidget* {
                QFile f(path);
                if (!f.open(QIODevice::ReadOnly))
                    return nullptr;
                bare = new QPlainTextEdit;
                bare->resize(boxSize);
                bare->setFont(boxFont);
                bare->setPlainText(QString::fromUtf8(f.readAll()));
                bare->show();
                return bare->viewport();
            });
        };
        double ours = 0;
        double plain = 0;
        double oursCpu = 0;
        double plainCpu = 0;
        if (i % 2 == 0) {
            ours = openOurs();
            oursCpu = watch.lastCpu;
            plain = openBare();
            plainCpu = watch.lastCpu;
        } else {
            plain = openBare();
            plainCpu = watch.lastCpu;
            ours = openOurs();
            oursCpu = watch.lastCpu;
        }
        if (!opened || opened->text().text() != expected) {
            std::fprintf(stderr, "the file did not open whole\n");
            return 2;
        }
        boxSize = opened->text().size();
        boxFont = opened->text().font();
        if (i == -3)
            firstOpen = ours;
        if (i >= 0) {
            oursOpen.push_back(ours);
            bareOpen.push_back(plain);
            oursOpenCpu.push_back(oursCpu);
            bareOpenCpu.push_back(plainCpu);
        }

        caretToMiddle(opened->text());
        caretToMiddle(*bare);
        for (int k = 0; k < 6; ++k) {
            const auto typeIn = [&](QPlainTextEdit* box) {
                return watch.time([box] {
                    typeKey(box);
                    return box->viewport();
                });
            };
            const double first = typeIn(k % 2 == 0 ? &opened->text() : bare);
            const double firstCpu = watch.lastCpu;
            const double second = typeIn(k % 2 == 0 ? bare : &opened->text());
            const double secondCpu = watch.lastCpu;
            if (i >= 0) {
                oursKey.push_back(k % 2 == 0 ? first : second);
                bareKey.push_back(k % 2 == 0 ? second : first);
                oursKeyCpu.push_back(k % 2 == 0 ? firstCpu : secondCpu);
                bareKeyCpu.push_back(k % 2 == 0 ? secondCpu : firstCpu);
            }
        }

        // The typed document is saved aside, so it closes without a question and its slot is
        // used again by the next open.
        if (!frame.documents().WriteDocumentFile(opened->slot(), dir.filePath(QStringLiteral("typed.txt"))))
            return 2;
        qobject_cast<QMdiSubWindow*>(opened->parentWidget())->close();
        delete bare;
    }

    const double oOpen = median(oursOpen), bOpen = median(bareOpen);
    const double oKey = median(oursKey), bKey = median(bareKey);
    std::printf("runs: %d (medians, milliseconds; platform %s)\n", runs, qPrintable(QGuiApplication::platformName()));
    std::printf("open 65,000 bytes until painted: editor %.2f, bare QPlainTextEdit window %.2f, ratio %.2fx\n",
                oOpen, bOpen, oOpen / bOpen);
    std::printf("  processor time of this thread: editor %.2f, bare %.2f; first open of the file, which"
                " writes the recent-file list: %.2f\n", median(oursOpenCpu), median(bareOpenCpu), firstOpen);
    std::printf("one key until repainted:         editor %.2f, bare QPlainTextEdit window %.2f, ratio %.2fx\n",
                oKey, bKey, oKey / bKey);
    std::printf("  processor time of this thread: editor %.2f, bare %.2f\n", median(oursKeyCpu), median(bareKeyCpu));
    const bool met = oOpen <= 16 && oKey <= 16 && oOpen <= 1.25 * bOpen && oKey <= 1.25 * bKey;
    std::printf("targets (each <= 16 ms and <= 1.25x): %s\n", met ? "met" : "MISSED");
    return met ? 0 : 1;
}
