#include "common/core/settingsfile.h"

#include <QStringDecoder>

// The file format, one item a line, UTF-8, LF line ends:
//
//   #orvane-settings 1
//   [Section]
//   key=value
//   #end
//
// Names and values are escaped with backslashes: \\ \r \n \t, \s for a space that starts or
// ends the text (so an editor that trims lines cannot eat it), \xHH for other control
// characters and \uHHHH for a lone UTF-16 surrogate. Names also escape = [ ] # so a key line
// can never look like a section, a comment or the end marker. Blank lines and '#' comments are
// accepted on reading. The end marker tells a complete file from a cut one.

namespace orv {

using namespace Qt::StringLiterals;

void SettingsSection::reindex()
{
    index.clear();
    for (qsizetype i = 0; i < entries.size(); ++i)
        index.insert(entries[i].first, i);
}

const SettingsSection* SettingsDocument::find(const QString& name) const
{
    const auto it = index.constFind(name);
    return it == index.cend() ? nullptr : &sections[*it];
}

qsizetype SettingsDocument::sectionIndex(const QString& name)
{
    if (const auto it = index.constFind(name); it != index.cend())
        return *it;
    sections.append(SettingsSection{name, {}, {}});
    index.insert(name, sections.size() - 1);
    return sections.size() - 1;
}

bool SettingsDocument::set(qsizetype section, const QString& key, const QString& value)
{
    SettingsSection& s = sections[section];
    // Never null, so a reader can tell a present empty value from a missing one.
    const QString text = value.isNull() ? u""_s : value;
    if (const auto it = s.index.constFind(key); it != s.index.cend()) {
        QString& stored = s.entries[*it].second;
        if (stored == value)
            return false;
        stored = text;
        return true;
    }
    s.entries.append({key, text});
    s.index.insert(key, s.entries.size() - 1);
    return true;
}

bool SettingsDocument::remove(const QString& section, const QString& key)
{
    const qsizetype si = index.value(section, -1);
    if (si < 0)
        return false;
    SettingsSection& s = sections[si];
    const qsizetype ki = s.index.value(key, -1);
    if (ki < 0)
        return false;
    s.entries.removeAt(ki);
    if (!s.entries.isEmpty()) {
        s.reindex();
        return true;
    }
    // An empty section is dropped; written again, it goes to the end like any new one.
    sections.removeAt(si);
    index.clear();
    for (qsizetype i = 0; i < sections.size(); ++i)
        index.insert(sections[i].name, i);
    return true;
}

bool SettingsDocument::clear()
{
    if (sections.isEmpty())
        return false;
    sections.clear();
    index.clear();
    return true;
}

namespace {

constexpr QStringView kHeader = u"#orvane-settings 1";
constexpr QStringView kEndMarker = u"#end";

void appendHex(QString& out, char16_t kind, unsigned value, int digits)
{
    out += u'\\';
    out += QChar(kind);
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out += QChar(u"0123456789ABCDEF"[(value >> shift) & 0xF]);
}

void appendEscaped(QString& out, QStringView text, bool isName)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        switch (c) {
        case u'\\': out += QStringView(u"\\\\"); continue;
        case u'\r': out += QStringView(u"\\r"); continue;
        case u'\n': out += QStringView(u"\\n"); continue;
        case u'\t': out += QStringView(u"\\t"); continue;
        default: break;
        }
        if (c == u' ' && (i == 0 || i == n - 1)) {
            out += QStringView(u"\\s");
        } else if (isName && (c == u'=' || c == u'[' || c == u']' || c == u'#')) {
            out += u'\\';
            out += QChar(c);
        } else if (c < 0x20 || c == 0x7F) {
            appendHex(out, u'x', c, 2);
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate()) {
            out += text[i];
            out += text[i + 1];
            ++i;
        } else if (QChar::isSurrogate(c)) {
            appendHex(out, u'u', c, 4);
        } else {
            out += QChar(c);
        }
    }
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// False on an unknown escape or a raw control character other than tab.
bool unescape(QStringView text, QString& out)
{
    out = QString(u""_s);
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\\') {
            if ((c < 0x20 && c != u'\t') || c == 0x7F)
                return false;
            out += QChar(c);
            continue;
        }
        if (++i >= n)
            return false;
        const char16_t e = text[i].unicode();
        switch (e) {
        case u'\\': case u'=': case u'[': case u']': case u'#': out += QChar(e); break;
        case u'r': out += u'\r'; break;
        case u'n': out += u'\n'; break;
        case u't': out += u'\t'; break;
        case u's': out += u' '; break;
        case u'x':
        case u'u': {
            const int digits = e == u'x' ? 2 : 4;
            if (i + digits >= n)
                return false;
            unsigned value = 0;
            for (int k = 1; k <= digits; ++k) {
                const int d = hexDigit(text[i + k]);
                if (d < 0)
                    return false;
                value = value * 16 + unsigned(d);
            }
            i += digits;
            out += QChar(char16_t(value));
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

// Index of the first '=' not preceded by an escaping backslash, or -1.
qsizetype findSeparator(QStringView line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'\\')
            ++i;
        else if (line[i] == u'=')
            return i;
    }
    return -1;
}

bool parseInto(const QByteArray& bytes, SettingsDocument& doc)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError() || !text.endsWith(u'\n'))
        return false;
    const QList<QStringView> lines = QStringView(text).chopped(1).split(u'\n');
    if (lines.size() < 2 || lines.first() != kHeader || lines.last() != kEndMarker)
        return false;

    qsizetype current = -1;
    QString key;
    QString value;
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const QStringView line = lines[i];
        if (line == kEndMarker)
            return false;
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            if (line.size() < 2 || !line.endsWith(u']') || !unescape(line.sliced(1, line.size() - 2), key))
                return false;
            current = doc.sectionIndex(key);
            continue;
        }
        const qsizetype sep = findSeparator(line);
        if (current < 0 || sep < 0 || !unescape(line.first(sep), key) || !unescape(line.sliced(sep + 1), value))
            return false;
        doc.set(current, key, value);
    }
    return true;
}

} // namespace

bool parseSettingsFile(const QByteArray& bytes, SettingsDocument& doc)
{
    doc = SettingsDocument();
    if (parseInto(bytes, doc))
        return true;
    doc = SettingsDocument();
    return false;
}

QByteArray serializeSettingsFile(const SettingsDocument& doc)
{
    QString out;
    out += kHeader;
    out += u'\n';
    bool first = true;
    for (const SettingsSection& s : doc.sections) {
        if (s.entries.isEmpty())
            continue;
        if (!first)
            out += u'\n';
        first = false;
        out += u'[';
        appendEscaped(out, s.name, true);
        out += QStringView(u"]\n");
        for (const auto& [key, value] : s.entries) {
            appendEscaped(out, key, true);
            out += u'=';
            appendEscaped(out, value, false);
            out += u'\n';
        }
    }
    out += kEndMarker;
    out += u'\n';
    return out.toUtf8();
}

} // namespace orv
