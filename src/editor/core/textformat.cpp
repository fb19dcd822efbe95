#include "editor/core/textformat.h"

#include "editor/core/textcodec.h"

#include <algorithm>
#include <array>

namespace orv {

namespace {

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF", 3);

QStringView lineEndText(LineEnd end)
{
    switch (end) {
    case LineEnd::Lf: return u"\n";
    case LineEnd::CrLf: return u"\r\n";
    case LineEnd::Cr: return u"\r";
    }
    return u"\n";
}

} // namespace

DecodedText decodeText(QByteArrayView bytes)
{
    DecodedText result;
    QString raw;
    if (isValidUtf8(bytes)) {
        if (bytes.startsWith(kByteOrderMark)) {
            result.format.byteOrderMark = true;
            bytes = bytes.sliced(kByteOrderMark.size());
        }
        raw = QString::fromUtf8(bytes);
    } else {
        result.format.encoding = TextEncoding::Windows1252;
        raw = decodeWindows1252(bytes);
    }

    // Most files have LF line ends alone: the text is the decoded bytes as they are.
    if (!raw.contains(u'\r')) {
        result.format.finalLineEnd = raw.isEmpty() || raw.endsWith(u'\n');
        result.text = std::move(raw);
        return result;
    }

    QList<LineEnd> ends;
    std::array<qsizetype, 3> counts{};
    QString text;
    text.reserve(raw.size());
    bool endedWithBreak = false;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        LineEnd end;
        if (c == u'\n') {
            end = LineEnd::Lf;
        } else if (c == u'\r') {
            end = (i + 1 < raw.size() && raw[i + 1] == u'\n') ? LineEnd::CrLf : LineEnd::Cr;
            if (end == LineEnd::CrLf)
                ++i;
        } else {
            text.append(c);
            endedWithBreak = false;
            continue;
        }
        text.append(u'\n');
        ends.append(end);
        ++counts[size_t(end)];
        endedWithBreak = true;
    }

    int kinds = 0;
    qsizetype most = 0;
    for (size_t k = 0; k < counts.size(); ++k) {
        if (counts[k] == 0)
            continue;
        ++kinds;
        // Ties go to the kind seen first.
        if (counts[k] > most || (counts[k] == most && ends.indexOf(LineEnd(k)) < ends.indexOf(result.format.lineEnd))) {
            most = counts[k];
            result.format.lineEnd = LineEnd(k);
        }
    }
    if (kinds > 1)
        result.format.lineEnds = ends;
    result.format.finalLineEnd = text.isEmpty() || endedWithBreak;
    result.text = std::move(text);
    return result;
}

EncodedText encodeText(QStringView text, const TextFormat& format)
{
    EncodedText result;
    result.format = format;
    QList<LineEnd> written;
    const auto endFor = [&](qsizetype n) { return n < format.lineEnds.size() ? format.lineEnds[n] : format.lineEnd; };

    QString out;
    out.reserve(text.size() + text.size() / 32 + 2);
    bool endsWithBreak = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\n' && c != u'\r') {
            out.append(c);
            endsWithBreak = false;
            continue;
        }
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        const LineEnd end = endFor(written.size());
        out.append(lineEndText(end));
        written.append(end);
        endsWithBreak = true;
    }
    if (!text.isEmpty() && !endsWithBreak && format.finalLineEnd) {
        const LineEnd end = endFor(written.size());
        out.append(lineEndText(end));
        written.append(end);
    }

    if (format.mixed()) {
        const bool uniform = std::all_of(written.cbegin(), written.cend(),
                                         [&](LineEnd e) { return e == format.lineEnd; });
        result.format.lineEnds = uniform ? QList<LineEnd>() : written;
    }

    if (format.encoding == TextEncoding::Windows1252) {
        if (std::optional<QByteArray> bytes = encodeWindows1252(out)) {
            result.bytes = std::move(*bytes);
            return result;
        }
        result.switchedToUtf8 = true;
        result.format.encoding = TextEncoding::Utf8;
        result.format.byteOrderMark = false;
    }
    if (result.format.byteOrderMark)
        result.bytes = kByteOrderMark.toByteArray();
    result.bytes += out.toUtf8();
    return result;
}

QString editorTextFromDocument(QString raw)
{
    raw.replace(QChar::ParagraphSeparator, u'\n');
    return raw;
}

} // namespace orv
