// Every generated sample opens with the format, size and layout the other tests rely on.

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QSet>
#include <QStringDecoder>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

QString sampleFolder()
{
    const QString folder = qEnvironmentVariable("ORVANE_SAMPLES");
    return folder.isEmpty() ? QString::fromUtf8(ORVANE_BUILD_SAMPLES) : folder;
}

QString samplePath(const QString& name)
{
    return QDir(sampleFolder()).filePath(name);
}

QByteArray readSample(const QString& name)
{
    QFile file(samplePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 le32(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint16 le16(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

class Samples : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(QDir(sampleFolder()).exists()) << "no samples in " << sampleFolder().toStdString(); }
};

TEST_F(Samples, PicturesLoadAtTheirSizes)
{
    struct Picture
    {
        const char* name;
        const char* format;   // .dib is only read as a BMP when told so
        QSize size;
    };
    const Picture pictures[] = {
        {"sunset.bmp", "", {800, 600}},     {"palette8.bmp", "", {320, 200}},
        {"scan.dib", "bmp", {480, 360}},     {"small.gif", "", {200, 150}},
        {"harbour.jpg", "", {1024, 768}},   {"Photos with spaces/beach day.jpg", "", {640, 480}},
        {"pointer.cur", "", {32, 32}},
    };
    for (const Picture& picture : pictures) {
        QImageReader reader(samplePath(QString::fromUtf8(picture.name)), picture.format);
        const QImage image = reader.read();
        EXPECT_FALSE(image.isNull()) << picture.name << ": " << reader.errorString().toStdString();
        EXPECT_EQ(image.size(), picture.size) << picture.name;
    }
}

TEST_F(Samples, SunsetIsTwentyFourBitAndLargerThanThePictureArea)
{
    const QByteArray bmp = readSample(QStringLiteral("sunset.bmp"));
    ASSERT_GE(bmp.size(), 54);
    EXPECT_EQ(le16(bmp, 28), 24);
    EXPECT_GT(le32(bmp, 18), 290u);
    EXPECT_GT(le32(bmp, 22), 305u);
}

TEST_F(Samples, Palette8UsesAFullColourTable)
{
    const QByteArray bmp = readSample(QStringLiteral("palette8.bmp"));
    ASSERT_GE(bmp.size(), 54 + 1024);
    EXPECT_EQ(le16(bmp, 28), 8);                 // biBitCount
    EXPECT_EQ(le32(bmp, 46), 256u);              // biClrUsed
    EXPECT_EQ(le32(bmp, 10), 14u + 40u + 1024u);  // pixels right after the table

    const QImage image(samplePath(QStringLiteral("palette8.bmp")));
    ASSERT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.colorCount(), 256);
    QSet<int> used;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            used.insert(image.pixelIndex(x, y));
    }
    EXPECT_EQ(used.size(), 256);
}

TEST_F(Samples, SmallGifIsIndexed)
{
    const QByteArray gif = readSample(QStringLiteral("small.gif"));
    ASSERT_GE(gif.size(), 13);
    EXPECT_TRUE(gif.startsWith("GIF89a"));
    EXPECT_TRUE(static_cast<uchar>(gif[10]) & 0x80);   // global colour table
    const QImage image(samplePath(QStringLiteral("small.gif")));
    ASSERT_FALSE(image.isNull());
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    }
    EXPECT_LE(colours.size(), 256);
    EXPECT_GT(colours.size(), 16);   // shaded, not flat
}

TEST_F(Samples, IconHoldsThreeSizesWithTransparentCorners)
{
    QImageReader reader(samplePath(QStringLiteral("app.ico")));
    ASSERT_EQ(reader.imageCount(), 3);
    const int sizes[] = {16, 32, 48};
    for (int i = 0; i < 3; ++i) {
        const int size = sizes[i];
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage image = reader.read();
        ASSERT_EQ(image.size(), QSize(size, size));
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << size;
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255) << size;
    }
}

TEST_F(Samples, CursorPointsWithItsTip)
{
    const QByteArray cur = readSample(QStringLiteral("pointer.cur"));
    ASSERT_GE(cur.size(), 22);
    EXPECT_EQ(le16(cur, 2), 2);    // cursor, not icon
    EXPECT_EQ(le16(cur, 10), 1);   // hot spot x
    EXPECT_EQ(le16(cur, 12), 1);   // hot spot y
}

TEST_F(Samples, ChimeIsStereoSixteenBitPcm)
{
    const QByteArray wav = readSample(QStringLiteral("chime.wav"));
    ASSERT_GE(wav.size(), 44);
    EXPECT_TRUE(wav.startsWith("RIFF"));
    EXPECT_EQ(le32(wav, 4), quint32(wav.size() - 8));
    EXPECT_EQ(wav.mid(8, 8), QByteArrayLiteral("WAVEfmt "));
    EXPECT_EQ(le16(wav, 20), 1);   // PCM
    EXPECT_EQ(le16(wav, 22), 2);
    EXPECT_EQ(le32(wav, 24), 44100u);
    EXPECT_EQ(le32(wav, 28), 44100u * 4);
    EXPECT_EQ(le16(wav, 32), 4);
    EXPECT_EQ(le16(wav, 34), 16);
    EXPECT_EQ(wav.mid(36, 4), QByteArrayLiteral("data"));
    ASSERT_EQ(le32(wav, 40), quint32(wav.size() - 44));
    EXPECT_NEAR((wav.size() - 44) / 4.0 / 44100.0, 1.5, 0.01);

    int loudest = 0;
    for (qsizetype at = 44; at + 1 < wav.size(); at += 2)
        loudest = std::max(loudest, std::abs(int(qFromLittleEndian<qint16>(wav.constData() + at))));
    EXPECT_GT(loudest, 16000);
    // Faded out: no click when playback stops.
    EXPECT_LT(std::abs(int(qFromLittleEndian<qint16>(wav.constData() + wav.size() - 2))), 100);
}

TEST_F(Samples, TuneIsAFourChannelModuleWhoseSizeAddsUp)
{
    const QByteArray mod = readSample(QStringLiteral("tune.mod"));
    ASSERT_GE(mod.size(), 1084);
    EXPECT_EQ(mod.mid(1080, 4), QByteArrayLiteral("M.K."));
    EXPECT_EQ(mod.left(20), QByteArrayLiteral("orvane morning").leftJustified(20, '\0'));

    qint64 sampleBytes = 0;
    for (int i = 0; i < 31; ++i)
        sampleBytes += 2 * qint64(qFromBigEndian<quint16>(mod.constData() + 20 + 30 * i + 22));
    const int songLength = static_cast<uchar>(mod[950]);
    ASSERT_GE(songLength, 1);
    int patterns = 0;
    for (int i = 0; i < 128; ++i)
        patterns = std::max(patterns, static_cast<uchar>(mod[952 + i]) + 1);
    EXPECT_GE(patterns, 2);
    EXPECT_EQ(mod.size(), 1084 + patterns * 64 * 4 * 4 + sampleBytes);
    EXPECT_GT(sampleBytes, 0);
}

TEST_F(Samples, TextFilesUseTheirLineEnds)
{
    const QByteArray readme = readSample(QStringLiteral("readme.txt"));
    ASSERT_FALSE(readme.isEmpty());
    EXPECT_FALSE(readme.contains('\r'));
    EXPECT_TRUE(readme.endsWith('\n'));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(readme);
    EXPECT_FALSE(utf8.hasError());
    EXPECT_TRUE(text.contains(QStringLiteral("tune.mod")));

    const QByteArray pal = readSample(QStringLiteral("sky.pal"));
    const QList<QByteArray> lines = pal.split('\n');
    ASSERT_EQ(lines.size(), 3 + 256 + 1);   // the split leaves an empty tail after the last CR LF
    EXPECT_EQ(lines[0], QByteArrayLiteral("JASC-PAL\r"));
    EXPECT_EQ(lines[1], QByteArrayLiteral("0100\r"));
    EXPECT_EQ(lines[2], QByteArrayLiteral("256\r"));
    for (int i = 3; i < 3 + 256; ++i) {
        ASSERT_TRUE(lines[i].endsWith('\r')) << i;
        const QList<QByteArray> rgb = lines[i].chopped(1).split(' ');
        ASSERT_EQ(rgb.size(), 3) << i;
        for (const QByteArray& value : rgb) {
            bool ok = false;
            const int v = value.toInt(&ok);
            EXPECT_TRUE(ok && v >= 0 && v <= 255) << i;
        }
    }
    EXPECT_TRUE(lines.last().isEmpty());

    const QByteArray html = readSample(QStringLiteral("welcome.html"));
    EXPECT_TRUE(html.startsWith("<!DOCTYPE html>"));
    EXPECT_TRUE(html.trimmed().endsWith("</html>"));
}

} // namespace
