#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

namespace orv {

enum class TextEncoding { Utf8, Windows1252 };
enum class LineEnd { Lf, CrLf, Cr };

// How a document's text becomes bytes again: what its file was read with, so that an
// unchanged text writes back byte for byte. A new document is UTF-8 with LF line ends.
struct TextFormat {
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderMark = false;
    // The line end for every line, or, when lineEnds is not empty, for lines beyond it.
    LineEnd lineEnd = LineEnd::Lf;
    // Only for a file that mixed kinds of line ends: each of its line ends in order, so the
    // n-th line break of the text is written as the n-th one read.
    QList<LineEnd> lineEnds;
    // Whether a text that does not end with a line break gets one on writing. False for a file
    // that was read without one, so that it stays without one.
    bool finalLineEnd = true;

    bool mixed() const { return !lineEnds.isEmpty(); }
    friend bool operator==(const TextFormat&, const TextFormat&) = default;
};

// The in-editor form of a text: every line break is a single LF, whatever the file had.
struct DecodedText {
    QString text;
    TextFormat format;
};

// Valid UTF-8 (a byte-order mark noted and left out of the text), otherwise Windows-1252.
// CR LF, LF and a lone CR each count as one line break.
DecodedText decodeText(QByteArrayView bytes);

struct EncodedText {
    QByteArray bytes;
    // The format as written: a mixed list follows the line breaks now in the text.
    TextFormat format;
    // The text held characters Windows-1252 lacks, so it was written as UTF-8 instead.
    bool switchedToUtf8 = false;
};

// The bytes of an in-editor text in the given format. CR LF and a lone CR in the text are
// taken as line breaks too. A final line end is added only when the text is not empty, does
// not already end with a line break and the format asks for one.
EncodedText encodeText(QStringView text, const TextFormat& format);

// The in-editor form of what a QTextDocument holds, taken with toRawText(): its paragraph
// separators become LF. (toPlainText() would also turn no-break spaces into spaces.)
QString editorTextFromDocument(QString raw);

} // namespace orv
