#include "picturecorpus.h"
#include "sampleset.h"

#include <QGuiApplication>
#include <QTextStream>

// orvane-samplegen <folder>: writes the sample files into folder, creating it if needed.
// orvane-samplegen --picture-corpus <folder>: writes the seeds of the picture fuzz targets.
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
