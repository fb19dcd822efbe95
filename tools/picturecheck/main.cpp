// orvane-picturecheck OUTPUT-FOLDER FILE...
// Loads each file as the viewer does (96 dpi) and writes what it shows as OUTPUT/<name>.png;
// one line per file on stdout: name, "ok" or "error", pixel size or the error, milliseconds.

#include "pictures/pictureloader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream out(stdout);
    if (args.size() < 3) {
        QTextStream(stderr) << "usage: orvane-picturecheck OUTPUT-FOLDER FILE...\n";
        return 2;
    }
    const QDir folder(args[1]);
    if (!QDir().mkpath(folder.path())) {
        QTextStream(stderr) << "cannot make " << folder.path() << "\n";
        return 2;
    }
    orv::QtPictureLoader loader(96, 96);
    int failed = 0;
    for (qsizetype i = 2; i < args.size(); ++i) {
        const QFileInfo info(args[i]);
        QElapsedTimer timer;
        timer.start();
        orv::PictureResult result = loader.load(info.filePath());
        if (result.ok() && result.picture.completion)
            result.picture.completion->waitUntilDone();
        const qint64 ms = timer.elapsed();
        if (!result.ok()) {
            ++failed;
            out << info.fileName() << "\terror\t" << result.error << "\t" << ms << "\n";
            continue;
        }
        const QImage& image = result.picture.image;
        image.save(folder.filePath(info.fileName() + QStringLiteral(".png")));
        out << info.fileName() << "\tok\t" << image.width() << "x" << image.height() << "\t" << ms << "\n";
    }
    return failed ? 1 : 0;
}
