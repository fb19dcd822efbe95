// orvane-picturecheck OUTPUT-FOLDER FILE...
// Loads each file as the viewer does (96 dpi) and writes what it shows as OUTPUT/<name>.png;
// one line per file on stdout: name, "ok" or "error", pixel size or the error, milliseconds.
// A metafile larger than 4096 pixels either way is drawn whole at the resolution that brings
// it down to that, its natural size still reported.

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
            const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            QString why;
            std::shared_ptr<const orv::MetafileDocument> document = orv::MetafileDocument::open(bytes, 96, 96, &why);
            if (!document) {
                ++failed;
                out << info.fileName() << "\terror\t" << why << "\t" << timer.elapsed() << "\n";
                continue;
            }
            const QSize size = document->size();
            constexpr int kLargest = 4096;
            const int longest = std::max(size.width(), size.height());
            if (longest > kLargest) {
                const double dpi = 96.0 * kLargest / longest;
                if (auto smaller = orv::MetafileDocument::open(bytes, dpi, dpi, &why))
                    document = std::move(smaller);
            }
            const QSize drawn = document->size();
            const orv::MetafileDocument::Part part = document->render(
                QRect(0, 0, std::min(drawn.width(), kLargest), std::min(drawn.height(), kLargest)));
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
