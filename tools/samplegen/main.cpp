#include "hostilemetafiles.h"
#include "picturecorpus.h"
#include "sampleset.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

namespace {

bool writeHostileMetafiles(const QString& folder)
{
    const struct {
        const char* name;
        QByteArray bytes;
    } files[] = {
        {"rle-bomb-466.wmf", orv::HostileMetafiles::runLengthBombWmf(5)},
        {"rle-bomb-2.5k.wmf", orv::HostileMetafiles::runLengthBombWmf(29)},
        {"rle-bomb-808.emf", orv::HostileMetafiles::runLengthBombEmf(5)},
        {"huge-frame.emf", orv::HostileMetafiles::hugeFrameEmf()},
        {"huge-frame.wmf", orv::HostileMetafiles::hugeFrameWmf()},
    };
    if (!QDir().mkpath(folder))
        return false;
    for (const auto& f : files) {
        QFile out(QDir(folder).filePath(QLatin1String(f.name)));
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(f.bytes) != f.bytes.size())
            return false;
    }
    return true;
}

} // namespace

// orvane-samplegen <folder>: writes the sample files into folder, creating it if needed.
// orvane-samplegen --picture-corpus <folder>: writes the seeds of the picture fuzz targets.
// orvane-samplegen --hostile-metafiles <folder>: writes metafiles far costlier than their size.
int main(int argc, char** argv)
{
    // Painting text needs a platform, but the build may run where there is no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("--picture-corpus")) {
        if (orv::PictureCorpus::write(args.at(2)))
            return 0;
        err << "orvane-samplegen: cannot write the picture corpus in " << args.at(2) << '\n';
        return 1;
    }
    if (args.size() == 3 && args.at(1) == QLatin1String("--hostile-metafiles")) {
        if (writeHostileMetafiles(args.at(2)))
            return 0;
        err << "orvane-samplegen: cannot write the metafiles in " << args.at(2) << '\n';
        return 1;
    }
    if (args.size() != 2) {
        err << "usage: orvane-samplegen <folder>\n";
        return 2;
    }
    orv::SampleSet samples(args.at(1));
    if (!samples.write()) {
        err << "orvane-samplegen: " << samples.errorString() << '\n';
        return 1;
    }
    return 0;
}
