// orvane-picturecheck OUTPUT-FOLDER FILE...
// Loads each file as the viewer does (96 dpi) and writes what it shows as OUTPUT/<name>.png;
// one line per file on stdout: name, "ok" or "error", pixel size or the error, milliseconds.
// Metafiles are drawn whole (at most their top-left 4096 × 4096 pixels), as scrolling over
// them would show them.

#include "pictures/metafile.h"
#include "pictures/pictureloader.h"
#include "pictures/vectorpicture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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
        QImage image = result.picture.image;
        if (result.picture.vector) {
            QFile file(info.filePath());
            QString why;
            const std::shared_ptr<const orv::MetafileDocument> document
                = file.open(QIODevice::ReadOnly) ? orv::MetafileDocument::open(file.readAll(), 96, 96, &why) : nullptr;
            if (!document) {
                ++failed;
                out << info.fileName() << "\terror\t" << why << "\t" << timer.elapsed() << "\n";
                continue;
            }
            const QSize size = document->size();
            const orv::MetafileDocument::Part part
                = document->render(QRect(0, 0, std::min(size.width(), 4096), std::min(size.height(), 4096)));
            image = part.image;
            if (image.isNull()) {
                ++failed;
                out << info.fileName() << "\terror\t" << part.error << "\t" << timer.elapsed() << "\n";
                continue;
            }
            out << info.fileName() << "\tok\t" << size.width() << "x" << size.height() << "\t" << timer.elapsed() << "\n";
            image.save(folder.filePath(info.fileName() + QStringLiteral(".png")));
            continue;
        }
        image.save(folder.filePath(info.fileName() + QStringLiteral(".png")));
        out << info.fileName() << "\tok\t" << image.width() << "x" << image.height() << "\t" << ms << "\n";
    }
    return failed ? 1 : 0;
}
