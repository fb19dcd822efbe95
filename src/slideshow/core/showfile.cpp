#include "slideshow/core/showfile.h"

#include "common/core/filenames.h"
#include "common/core/paths.h"
#include "common/core/units.h"

#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QStringDecoder>

#include <cmath>
#include <limits>

namespace orv {

namespace {

const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");
constexpr QChar kQuote = u'"';
constexpr QChar kComma = u',';
constexpr QChar kSpace = u' ';
constexpr QChar kCr = u'\r';
constexpr QChar kLf = u'\n';

// Spaces only: other white space belongs to the value.
QString trimSpaces(const QString& text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from) == kSpace)
        ++from;
    while (to > from && text.at(to - 1) == kSpace)
        --to;
    return text.mid(from, to - from);
}

std::optional<double> plainNumber(const QString& text)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// Splits the file's text into items: an item ends at a line end or a comma, spaces in front
// of it are skipped, and one that begins with a double quote runs to the closing quote (two
// quotes in a row stand for one), after which the rest up to the line end or comma is dropped.
class ItemReader {
public:
    explicit ItemReader(const QString& text) : s_(text), n_(text.size()) {}

    bool atEnd() const { return i_ >= n_; }

    QString next()
    {
        while (i_ < n_ && s_[i_] == kSpace)
            ++i_;
        if (i_ < n_ && s_[i_] == kQuote)
            return quoted();
        const qsizetype start = i_;
        while (i_ < n_ && s_[i_] != kComma && s_[i_] != kCr && s_[i_] != kLf)
            ++i_;
        const QString item = s_.mid(start, i_ - start);
        skipDelimiter();
        return item;
    }

private:
    QString quoted()
    {
        ++i_;
        QString item;
        for (;;) {
            const qsizetype close = s_.indexOf(kQuote, i_);
            if (close < 0) {
                item += QStringView(s_).mid(i_);
                i_ = n_;
                return item;
            }
            item += QStringView(s_).mid(i_, close - i_);
            i_ = close + 1;
            if (i_ < n_ && s_[i_] == kQuote) {
                item += kQuote;
                ++i_;
                continue;
            }
            break;
        }
        while (i_ < n_ && s_[i_] != kComma && s_[i_] != kCr && s_[i_] != kLf)
            ++i_;
        skipDelimiter();
        return item;
    }

    void skipDelimiter()
    {
        if (i_ >= n_)
            return;
        if (s_[i_] == kCr && i_ + 1 < n_ && s_[i_ + 1] == kLf)
            ++i_;
        ++i_;
    }

    const QString& s_;
    const qsizetype n_;
    qsizetype i_ = 0;
};

// "True"/"False" in any letter case, or a number (0 is false); anything else is no value.
std::optional<bool> truthValue(const QString& item)
{
    const QString t = trimSpaces(item);
    if (t.compare(kTrue, Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(kFalse, Qt::CaseInsensitive) == 0)
        return false;
    if (const std::optional<double> v = plainNumber(t))
        return *v != 0;
    return std::nullopt;
}

void applyTruth(const QString& item, bool& setting)
{
    if (const std::optional<bool> v = truthValue(item))
        setting = *v;
}

QString decode(const QByteArray& bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    return utf8.decode(view);
}

const char* truthText(bool v) { return v ? "True" : "False"; }

} // namespace

SlideInterval SlideInterval::fromMilliseconds(double ms)
{
    SlideInterval i;
    i.ms_ = ms;
    return i;
}

SlideInterval SlideInterval::fromText(const QString& text)
{
    SlideInterval i;
    i.ms_ = 0;
    i.text_ = text;
    i.isText_ = true;
    return i;
}

QString SlideInterval::fileText() const
{
    if (isText_)
        return text_;
    // The sign's place holds a space for a number that is not negative.
    const QString digits = QString::number(ms_, 'g', 15);
    return (ms_ < 0 ? QString() : QStringLiteral(" ")) + digits + QStringLiteral(" ");
}

std::optional<double> SlideInterval::asMilliseconds() const
{
    if (!isText_)
        return std::isfinite(ms_) ? std::optional<double>(ms_) : std::nullopt;
    return plainNumber(text_);
}

std::optional<int> SlideInterval::timerMilliseconds() const
{
    const std::optional<double> ms = asMilliseconds();
    if (!ms || !(*ms > 0))
        return std::nullopt;
    constexpr double kMax = std::numeric_limits<int>::max();
    if (*ms >= kMax)
        return std::numeric_limits<int>::max();
    // A positive value below half a millisecond still runs the timer, at its shortest.
    return std::max(1, static_cast<int>(roundHalfEven(*ms)));
}

QString showFileItem(const QString& value)
{
    const bool mustQuote = value.startsWith(kSpace) || value.startsWith(kQuote) || value.contains(kComma)
                           || value.contains(kCr) || value.contains(kLf);
    if (!mustQuote)
        return value;
    QString quoted = value;
    quoted.replace(kQuote, QStringLiteral("\"\""));
    return kQuote + quoted + kQuote;
}

QByteArray showFileBytes(const ShowSettings& settings, const QStringList& entries)
{
    QByteArray out;
    const auto line = [&out](QByteArrayView text) {
        out += text;
        out += "\r\n";
    };
    line(kShowFileHeader.toUtf8());
    line(kSettingsLine.toUtf8());
    line(truthText(settings.advanceOnKey));
    line(truthText(settings.advanceOnTimer));
    // A number's spaces are part of its form; only a text read from a file may need quotes.
    const SlideInterval& interval = settings.interval;
    line((interval.isText() ? showFileItem(interval.text()) : interval.fileText()).toUtf8());
    line(truthText(settings.loop));
    line(truthText(settings.showPointer));
    line(truthText(settings.showFileName));
    line(kFilesLine.toUtf8());
    for (const QString& entry : entries) {
        QString name = entry;
        if (namesIgnoreCase())
            CapitalizePath(name);
        line(showFileItem(name).toUtf8());
    }
    return out;
}

ShowFileRead readShowFileBytes(const QByteArray& bytes, const ShowSettings& current)
{
    ShowFileRead r;
    r.settings = current;
    if (bytes.size() > kMaxShowFileBytes)
        return r;
    const QString text = decode(bytes);
    ItemReader items(text);
    if (items.next() != kShowFileHeader)
        return r;
    r.valid = true;

    if (items.next() == kSettingsLine) {
        ShowSettings& s = r.settings;
        bool* const truths[] = {&s.advanceOnKey, &s.advanceOnTimer, nullptr, &s.loop, &s.showPointer, &s.showFileName};
        for (bool* setting : truths) {
            // A quoted item of spaces counts as empty too.
            const QString item = trimSpaces(items.next());
            if (item.isEmpty())
                continue;
            if (setting)
                applyTruth(item, *setting);
            else
                s.interval = SlideInterval::fromText(item);
        }
    }
    if (items.next() == kFilesLine) {
        while (!items.atEnd())
            r.entries.append(items.next());
    }
    return r;
}

ShowFileRead readShowFile(QIODevice& in, const ShowSettings& current)
{
    // Read in pieces rather than asking for the limit at once, which would allocate all of it
    // for every file; one byte past the limit tells a file that is too large.
    QByteArray bytes;
    char buf[16384];
    while (bytes.size() <= kMaxShowFileBytes) {
        const qint64 got = in.read(buf, sizeof buf);
        if (got <= 0)
            break;
        bytes.append(buf, got);
    }
    return readShowFileBytes(bytes, current);
}

ShowFileRead readShowFile(const QString& path, const ShowSettings& current)
{
    // Only regular files: a FIFO would block and a device would never end.
    QFile f;
    if (!openForReading(f, path).isEmpty()) {
        ShowFileRead r;
        r.settings = current;
        return r;
    }
    return readShowFile(f, current);
}

QString ShowSave::message(const QString& path) const
{
    return QStringLiteral("The slide show could not be saved as %1.\r%2").arg(path, reason);
}

ShowSave saveShowFile(const QString& path, const ShowSettings& settings, const QStringList& entries)
{
    ShowSave result;
    QSaveFile f(path);
    // Unbuffered: a write that fails inside QFile's buffer would only surface when commit()
    // flushes it, and commit() renames the temporary file over the target all the same.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        result.reason = f.errorString();
        return result;
    }
    const QByteArray bytes = showFileBytes(settings, entries);
    if (f.write(bytes) != bytes.size()) {
        result.reason = f.errorString();
        f.cancelWriting();
        return result;
    }
    if (!f.commit()) {
        result.reason = f.errorString();
        return result;
    }
    result.saved = true;
    return result;
}

} // namespace orv
