#pragma once

#include <QString>
#include <QStringList>

class QImage;

namespace orv {

// The sample folder the tests, benchmarks and manual checks browse: pictures in every
// supported format, a sound, a module, text, a palette and a folder with spaces in its name.
// Everything is made from code, so the same build writes the same bytes.
class SampleSet
{
public:
    explicit SampleSet(QString folder);

    // Writes every file, replacing older copies. Returns false and sets errorString() at the
    // first file that cannot be made or written.
    bool write();
    QString errorString() const { return error_; }
    // Paths relative to the folder, in the order written.
    QStringList written() const { return written_; }

private:
    bool save(const QString& name, const QByteArray& bytes);
    bool saveJpeg(const QString& name, const QImage& image, int quality);

    QString folder_;
    QString error_;
    QStringList written_;
};

} // namespace orv
