#include "sampleset.h"

#include "aviwriter.h"
#include "bmpwriter.h"
#include "colorquantizer.h"
#include "demotune.h"
#include "gifwriter.h"
#include "icowriter.h"
#include "metafilesamples.h"
#include "scenery.h"
#include "synth.h"
#include "wavwriter.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

#include <array>
#include <cmath>
#include <numbers>

namespace orv {

namespace {

struct Stop
{
    double at;
    QRgb colour;
};

QRgb blend(QRgb a, QRgb b, double t)
{
    const auto mix = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return qRgb(mix(qRed(a), qRed(b)), mix(qGreen(a), qGreen(b)), mix(qBlue(a), qBlue(b)));
}

QList<QRgb> ramp(std::initializer_list<Stop> stops)
{
    QList<QRgb> colours;
    for (int i = 0; i < 256; ++i) {
        const double t = i / 255.0;
        const Stop* lo = stops.begin();
        const Stop* hi = stops.begin();
        for (const Stop& s : stops) {
            if (s.at <= t)
                lo = &s;
            if (s.at >= t) {
                hi = &s;
                break;
            }
        }
        const double span = hi->at - lo->at;
        colours.append(blend(lo->colour, hi->colour, span > 0 ? (t - lo->at) / span : 0.0));
    }
    return colours;
}

// A plasma over a dusk palette, with the palette itself as a strip along the bottom so every
// one of the 256 entries is used.
IndexedImage plasma(int width, int height)
{
    IndexedImage image;
    image.width = width;
    image.height = height;
    image.palette = ramp({{0.0, qRgb(0x0b, 0x0b, 0x2b)}, {0.25, qRgb(0x3b, 0x1f, 0x6b)}, {0.5, qRgb(0xc0, 0x39, 0x6b)},
                          {0.75, qRgb(0xf6, 0xa0, 0x4d)}, {1.0, qRgb(0xff, 0xf3, 0xc4)}});
    image.pixels.resize(qsizetype(width) * height);
    const int strip = std::max(8, height / 6);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int index = 0;
            if (y >= height - strip) {
                const int left = (width - 256) / 2;
                index = std::clamp((x - left) * 256 / std::max(256, width - 2 * std::max(left, 0)), 0, 255);
                if (y == height - strip || y == height - 1)
                    index = 0;
            } else {
                const double dx = x - width * 0.65;
                const double dy = y - height * 0.4;
                const double v = std::sin(x / 23.0) + std::sin(y / 17.0) + std::sin((x + y) / 29.0)
                    + std::sin(std::sqrt(dx * dx + dy * dy) / 11.0);
                index = std::clamp(int((v + 4.0) / 8.0 * 255.0 + 0.5), 0, 255);
            }
            image.pixels[qsizetype(y) * width + x] = char(index);
        }
    }

    // The label is stamped as a mask in the lightest colour over a dark shadow.
    QImage mask(width, height, QImage::Format_Grayscale8);
    mask.fill(0);
    QPainter p(&mask);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(std::max(10, height / 11));
    f.setBold(true);
    f.setStyleStrategy(QFont::NoAntialias);
    p.setFont(f);
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRect(10, 8, width - 20, height / 4), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("256 colours"));
    p.end();
    for (int y = 1; y < height - strip; ++y) {
        for (int x = 1; x < width; ++x) {
            if (qGray(mask.pixel(x, y)) > 127)
                image.pixels[qsizetype(y) * width + x] = char(255);
            else if (qGray(mask.pixel(x - 1, y - 1)) > 127)
                image.pixels[qsizetype(y) * width + x] = char(0);
        }
    }
    return image;
}

IndexedImage greyscale(const QImage& picture)
{
    IndexedImage image;
    image.width = picture.width();
    image.height = picture.height();
    for (int i = 0; i < 256; ++i)
        image.palette.append(qRgb(i, i, i));
    image.pixels.resize(qsizetype(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x)
            image.pixels[qsizetype(y) * image.width + x] = char(qGray(picture.pixel(x, y)));
    }
    return image;
}

// A bell-like Cmaj9 chord, its notes struck one after another from left to right.
QByteArray chime(double seconds, int rate)
{
    const int frames = int(seconds * rate);
    std::vector<float> left(std::size_t(frames), 0.0f);
    std::vector<float> right(std::size_t(frames), 0.0f);
    constexpr std::array<double, 5> notes {523.25, 659.26, 783.99, 987.77, 1174.66};
    constexpr double twoPi = 2.0 * std::numbers::pi;
    for (std::size_t n = 0; n < notes.size(); ++n) {
        const int start = int(n * 0.07 * rate);
        const double pan = 0.15 + 0.7 * double(n) / double(notes.size() - 1);
        const double gainL = std::cos(pan * std::numbers::pi / 2);
        const double gainR = std::sin(pan * std::numbers::pi / 2);
        for (int i = start; i < frames; ++i) {
            const double t = double(i - start) / rate;
            const double attack = std::min(1.0, t / 0.004);
            const double f = notes[n];
            // Bell partials: the upper, slightly stretched ones die away first.
            const double v = std::sin(twoPi * f * t) * std::exp(-t / 0.55)
                + 0.35 * std::sin(twoPi * f * 2.0 * t) * std::exp(-t / 0.25)
                + 0.12 * std::sin(twoPi * f * 3.01 * t) * std::exp(-t / 0.12)
                + 0.06 * std::sin(twoPi * f * 4.2 * t) * std::exp(-t / 0.06);
            left[std::size_t(i)] += float(v * attack * gainL);
            right[std::size_t(i)] += float(v * attack * gainR);
        }
    }
    std::vector<float> interleaved;
    interleaved.reserve(std::size_t(frames) * 2);
    const int fade = int(0.35 * rate);
    for (int i = 0; i < frames; ++i) {
        const float tail = i < frames - fade ? 1.0f : float(frames - i) / float(fade);
        interleaved.push_back(left[std::size_t(i)] * tail);
        interleaved.push_back(right[std::size_t(i)] * tail);
    }
    const std::vector<std::int16_t> pcm = Synth::toInt16(interleaved, 0.8f);
    return WavWriter::encodePcm16(pcm, 2, rate);
}

// Three seconds of a ball bouncing over a slowly turning gradient, the frame number in the
// corner, over a soft two-note tone: Motion-JPEG and PCM in an AVI file.
QByteArray clip()
{
    constexpr int fps = 15;
    constexpr int frames = 3 * fps;
    constexpr int rate = 22050;
    constexpr int samplesPerFrame = rate / fps;
    const QSize size(320, 240);

    const std::array<float, 3> partials {1.0f, 0.3f, 0.1f};
    std::vector<float> tone = Synth::harmonics(frames * samplesPerFrame, rate, 440.0, partials);
    const std::vector<float> fifth = Synth::harmonics(frames * samplesPerFrame, rate, 660.0, partials);
    for (std::size_t i = 0; i < tone.size(); ++i) {
        const double t = double(i) / rate;
        tone[i] = tone[i] * 0.6f + fifth[i] * float(0.4 * (0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * t / 3.0)));
    }
    Synth::fadeOut(tone, rate / 5);
    for (int i = 0; i < rate / 50; ++i)
        tone[std::size_t(i)] *= float(i) / float(rate / 50);
    const std::vector<std::int16_t> pcm = Synth::toInt16(tone, 0.5f);

    AviWriter writer(size, fps, 1, rate);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(16);
    font.setBold(true);
    for (int f = 0; f < frames; ++f) {
        QImage frame(size, QImage::Format_RGB32);
        QPainter p(&frame);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient sky(0, 0, size.width(), size.height());
        sky.setColorAt(0.0, QColor::fromHsv((200 + f * 2) % 360, 160, 230));
        sky.setColorAt(1.0, QColor::fromHsv((280 + f * 2) % 360, 200, 90));
        p.fillRect(frame.rect(), sky);

        const double t = double(f) / fps;
        const double x = 30 + (size.width() - 60) * (0.5 - 0.5 * std::cos(std::numbers::pi * t / 1.5));
        const double bounce = std::fabs(std::sin(std::numbers::pi * t * 1.5));
        const double y = size.height() - 30 - bounce * (size.height() - 80);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 70));
        p.drawEllipse(QPointF(x, size.height() - 14), 20 - 8 * bounce, 5);
        QRadialGradient ball(QPointF(x - 6, y - 6), 24);
        ball.setColorAt(0.0, QColor(255, 250, 220));
        ball.setColorAt(1.0, QColor(230, 90, 40));
        p.setBrush(ball);
        p.drawEllipse(QPointF(x, y), 18, 18);

        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(8, 6, size.width() - 16, 24), Qt::AlignLeft | Qt::AlignTop,
                   QStringLiteral("Frame %1 / %2").arg(f + 1).arg(frames));
        p.end();
        const auto sound = std::span(pcm).subspan(std::size_t(f) * samplesPerFrame, samplesPerFrame);
        if (!writer.addFrame(frame, sound))
            return {};
    }
    return writer.finish();
}

QByteArray skyPalette()
{
    const QList<QRgb> colours = ramp({{0.0, qRgb(0x0a, 0x1a, 0x3f)}, {0.3, qRgb(0x1e, 0x4f, 0x9c)},
                                      {0.6, qRgb(0x62, 0xa8, 0xe5)}, {0.8, qRgb(0xbf, 0xe3, 0xf7)},
                                      {0.92, qRgb(0xff, 0xd7, 0xa0)}, {1.0, qRgb(0xff, 0x9a, 0x5a)}});
    QByteArray text = "JASC-PAL\r\n0100\r\n256\r\n";
    for (const QRgb c : colours)
        text += QByteArray::number(qRed(c)) + ' ' + QByteArray::number(qGreen(c)) + ' ' + QByteArray::number(qBlue(c)) + "\r\n";
    return text;
}

const char readme[] =
    "Orvane Viewer sample files\n"
    "==========================\n"
    "\n"
    "Every file in this folder is made by tools/samplegen when the project is built.\n"
    "Nothing here is copied from anywhere else, and the same build makes the same bytes.\n"
    "\n"
    "  sunset.bmp        800 x 600, 24-bit: larger than the picture area, so it scrolls\n"
    "  palette8.bmp      320 x 200, 8-bit with a 256-entry colour table\n"
    "  scan.dib          a greyscale scanned page, a BMP file with the .dib suffix\n"
    "  small.gif         200 x 150 shapes, 256 colours or fewer\n"
    "  harbour.jpg       1024 x 768 harbour with sailing boats\n"
    "  app.ico           an icon at 16, 32 and 48 pixels\n"
    "  pointer.cur       an arrow cursor whose hot spot is its tip\n"
    "  drawing.wmf       a placeable Windows metafile, 8 x 6 cm: shapes, text and a photo\n"
    "  chart.emf         an enhanced metafile, 10 x 7 cm: a bar chart with curves and a logo\n"
    "  chime.wav         a bell chord: 16-bit stereo PCM at 44.1 kHz\n"
    "  clip.avi          3 s of a bouncing ball, 320 x 240 Motion-JPEG at 15 fps, with a tone\n"
    "  tune.mod          a four-channel module that loops after its intro\n"
    "  sky.pal           a 256-colour JASC palette\n"
    "  welcome.html      a small web page\n"
    "  Photos with spaces/beach day.jpg\n"
    "                    a photo whose folder and name contain spaces\n";

const char welcome[] =
    "<!DOCTYPE html>\n"
    "<html lang=\"en\">\n"
    "<head>\n"
    "<meta charset=\"utf-8\">\n"
    "<title>Welcome to Orvane Viewer</title>\n"
    "<style>\n"
    "  body { font-family: 'DejaVu Sans', sans-serif; margin: 2em auto; max-width: 36em;\n"
    "         color: #1b2a4a; background: #fdf6e3; line-height: 1.5; }\n"
    "  h1 { color: #2b7a8c; }\n"
    "  code { background: #efe6cf; padding: 0 0.25em; }\n"
    "</style>\n"
    "</head>\n"
    "<body>\n"
    "<h1>Welcome to Orvane Viewer</h1>\n"
    "<p>This page sits among the sample files. Opening it hands it to your web browser.</p>\n"
    "<ul>\n"
    "  <li>Pictures: <code>sunset.bmp</code>, <code>small.gif</code>, <code>harbour.jpg</code></li>\n"
    "  <li>Sound: <code>chime.wav</code></li>\n"
    "  <li>Music: <code>tune.mod</code></li>\n"
    "  <li>Palette: <code>sky.pal</code></li>\n"
    "</ul>\n"
    "</body>\n"
    "</html>\n";

} // namespace

SampleSet::SampleSet(QString folder)
    : folder_(std::move(folder))
{
}

bool SampleSet::save(const QString& name, const QByteArray& bytes)
{
    if (bytes.isEmpty()) {
        error_ = QStringLiteral("could not encode %1").arg(name);
        return false;
    }
    const QString path = QDir(folder_).filePath(name);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        error_ = QStringLiteral("cannot create the folder for %1").arg(path);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error_ = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    written_.append(name);
    return true;
}

bool SampleSet::saveJpeg(const QString& name, const QImage& image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.setOptimizedWrite(true);
    if (!writer.write(image)) {
        error_ = QStringLiteral("could not encode %1: %2").arg(name, writer.errorString());
        return false;
    }
    return save(name, bytes);
}

bool SampleSet::write()
{
    error_.clear();
    written_.clear();

    const QList<IcoWriter::Entry> icons {
        {Scenery::landscapeIcon(16), {}, IcoWriter::Payload::Bmp},
        {Scenery::landscapeIcon(32), {}, IcoWriter::Payload::Bmp},
        {Scenery::landscapeIcon(48), {}, IcoWriter::Payload::Bmp},
    };
    const QList<IcoWriter::Entry> pointer {{Scenery::arrowPointer(32), QPoint(1, 1), IcoWriter::Payload::Bmp}};

    QString modError;
    const QByteArray module = ModWriter::encode(DemoTune::song(), &modError);
    if (module.isEmpty()) {
        error_ = QStringLiteral("could not encode tune.mod: %1").arg(modError);
        return false;
    }

    return save(QStringLiteral("sunset.bmp"), BmpWriter::encodeRgb24(Scenery::sunset(QSize(800, 600))))
        && save(QStringLiteral("palette8.bmp"), BmpWriter::encodeIndexed8(plasma(320, 200)))
        && save(QStringLiteral("scan.dib"), BmpWriter::encodeIndexed8(greyscale(Scenery::scannedPage(QSize(480, 360)))))
        && save(QStringLiteral("small.gif"), GifWriter::encode(ColorQuantizer::quantize(Scenery::shapes(QSize(200, 150)), 256, 0.75)))
        && saveJpeg(QStringLiteral("harbour.jpg"), Scenery::harbour(QSize(1024, 768)), 85)
        && saveJpeg(QStringLiteral("Photos with spaces/beach day.jpg"), Scenery::beach(QSize(640, 480)), 85)
        && save(QStringLiteral("app.ico"), IcoWriter::encode(icons, IcoWriter::Kind::Icon))
        && save(QStringLiteral("pointer.cur"), IcoWriter::encode(pointer, IcoWriter::Kind::Cursor))
        && save(QStringLiteral("drawing.wmf"), MetafileSamples::drawing())
        && save(QStringLiteral("chart.emf"), MetafileSamples::chart())
        && save(QStringLiteral("chime.wav"), chime(1.5, 44100))
        && save(QStringLiteral("clip.avi"), clip())
        && save(QStringLiteral("tune.mod"), module)
        && save(QStringLiteral("sky.pal"), skyPalette())
        && save(QStringLiteral("readme.txt"), QByteArray(readme))
        && save(QStringLiteral("welcome.html"), QByteArray(welcome));
}

} // namespace orv
