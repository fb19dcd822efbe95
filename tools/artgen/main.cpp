#include "artwork.h"

#include "bmpwriter.h"
#include "colorquantizer.h"
#include "common/core/version.h"

#include <QDir>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>
#include <QTextStream>

#include <utility>

namespace {

bool save(const QString& path, const QByteArray& bytes, QTextStream& err)
{
    QSaveFile file(path);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        err << "orvane-artgen: cannot write " << path << '\n';
        return false;
    }
    return true;
}

bool savePng(const QString& path, const QImage& image, QTextStream& err)
{
    QImageWriter writer(path, "png");
    if (!writer.write(image)) {
        err << "orvane-artgen: cannot write " << path << ": " << writer.errorString() << '\n';
        return false;
    }
    return true;
}

} // namespace

// orvane-artgen <folder>: draws the program's artwork into folder (normally assets/).
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        err << "usage: orvane-artgen <folder>\n";
        return 2;
    }
    const QDir out(args.at(1));
    if (!QDir().mkpath(out.absolutePath())) {
        err << "orvane-artgen: cannot create " << out.absolutePath() << '\n';
        return 1;
    }

    const QImage banner = orv::Artwork::banner(QSize(397, 143), orv::ProgramName, orv::versionLabel());
    bool ok = save(out.filePath(QStringLiteral("banner.bmp")),
                   orv::BmpWriter::encodeIndexed8(orv::ColorQuantizer::quantize(banner, 256, 0.5)), err);
    ok = savePng(out.filePath(QStringLiteral("banner-vertical.png")), orv::Artwork::verticalBanner(QSize(31, 323), orv::ProgramName), err) && ok;
    ok = savePng(out.filePath(QStringLiteral("orvane.png")), orv::Artwork::icon(512), err) && ok;
    // The window icons and the sizes of the desktop's icon theme.
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        ok = savePng(out.filePath(QStringLiteral("orvane-%1.png").arg(size)), orv::Artwork::icon(size), err) && ok;
    ok = save(out.filePath(QStringLiteral("orvane.svg")), orv::Artwork::iconSvg(), err) && ok;
    ok = savePng(out.filePath(QStringLiteral("wave.png")), orv::Artwork::speaker(48), err) && ok;
    ok = savePng(out.filePath(QStringLiteral("video.png")), orv::Artwork::filmStrip(48), err) && ok;
    ok = savePng(out.filePath(QStringLiteral("player.png")), orv::Artwork::note(32), err) && ok;
    ok = savePng(out.filePath(QStringLiteral("document-16.png")), orv::Artwork::textDocument(16), err) && ok;

    // The editor's toolbar: 256-colour bitmaps, raised and pressed.
    const std::pair<orv::Artwork::ToolbarSymbol, const char*> buttons[] = {
        {orv::Artwork::ToolbarSymbol::New, "new"}, {orv::Artwork::ToolbarSymbol::Open, "open"},
        {orv::Artwork::ToolbarSymbol::Cut, "cut"}, {orv::Artwork::ToolbarSymbol::Copy, "copy"},
        {orv::Artwork::ToolbarSymbol::Paste, "paste"}};
    for (const auto& [symbol, name] : buttons) {
        for (const bool pressed : {false, true}) {
            const QString file = QStringLiteral("toolbar-%1-%2.bmp")
                                     .arg(QLatin1String(name), pressed ? QStringLiteral("down") : QStringLiteral("up"));
            const QImage face = orv::Artwork::toolbarButton(symbol, pressed);
            ok = save(out.filePath(file), orv::BmpWriter::encodeIndexed8(orv::ColorQuantizer::quantize(face, 256, 0)), err) && ok;
        }
    }
    return ok ? 0 : 1;
}
