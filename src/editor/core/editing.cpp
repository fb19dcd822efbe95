#include "editor/core/editing.h"

namespace orv {

namespace {

char32_t codePointAt(QStringView s, qsizetype i, qsizetype& units)
{
    const QChar c = s[i];
    if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
        units = 2;
        return QChar::surrogateToUcs4(c, s[i + 1]);
    }
    units = 1;
    return c.unicode();
}

// The length in the text of an occurrence of pattern starting at from; compared character by
// character so that positions never shift (upper-casing a whole string can lengthen it: ß).
std::optional<qsizetype> matchAt(QStringView text, qsizetype from, QStringView pattern, bool matchCase)
{
    qsizetype t = from;
    qsizetype p = 0;
    while (p < pattern.size()) {
        if (t >= text.size())
            return std::nullopt;
        qsizetype pn = 0;
        qsizetype tn = 0;
        const char32_t pc = codePointAt(pattern, p, pn);
        const char32_t tc = codePointAt(text, t, tn);
        if (matchCase ? pc != tc : QChar::toUpper(pc) != QChar::toUpper(tc))
            return std::nullopt;
        p += pn;
        t += tn;
    }
    return t - from;
}

// A time format without its time-zone part ("h:mm:ss AP t" -> "h:mm:ss AP").
QString withoutZone(const QString& format)
{
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'')
            quoted = !quoted;
        if (quoted || c != u't') {
            out.append(c);
            continue;
        }
        while (i + 1 < format.size() && format[i + 1] == u't')
            ++i;
        while (!out.isEmpty() && out.back().isSpace())
            out.chop(1);
        while (i + 1 < format.size() && format[i + 1].isSpace())
            ++i;
        if (!out.isEmpty() && i + 1 < format.size())
            out.append(u' ');
    }
    return out.trimmed();
}

} // namespace

std::optional<TextRange> deleteRange(QStringView text, TextRange selection)
{
    if (selection.start < 0 || selection.start >= text.size())
        return std::nullopt;
    if (selection.length > 0)
        return TextRange{selection.start, std::min(selection.length, text.size() - selection.start)};
    qsizetype length = 1;
    const QChar c = text[selection.start];
    const bool hasNext = selection.start + 1 < text.size();
    if (hasNext && c == u'\r' && text[selection.start + 1] == u'\n')
        length = 2;
    else if (hasNext && c.isHighSurrogate() && text[selection.start + 1].isLowSurrogate())
        length = 2;
    return TextRange{selection.start, length};
}

QString timeDateText(const QDateTime& now, const QLocale& locale)
{
    const QString date = locale.toString(now.date(), QLocale::ShortFormat);
    const QTime time = now.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return date;
    return date + u' ' + locale.toString(time, withoutZone(locale.timeFormat(QLocale::LongFormat)));
}

QString SearchState::openedFromMenu(const QString& selectedText)
{
    searchRestart = true;
    return selectedText.isEmpty() ? searchText : selectedText;
}

void SearchState::cancelled(const QString& boxText, bool boxMatchCase)
{
    searchText = boxText;
    searchMatchCase = boxMatchCase;
}

SearchResult SearchDocument(SearchState& state, QStringView text, qsizetype selectionStart)
{
    const qsizetype caret = selectionStart;
    qsizetype offset = caret == state.lastMatchStart ? 1 : 0;
    if (state.searchRestart)
        offset = 0;
    const qsizetype start = caret + offset;
    const QStringView pattern = state.searchText;

    SearchResult result;
    if (!pattern.isEmpty()) {
        if (state.searchDirection == SearchDirection::Down) {
            for (qsizetype i = std::max<qsizetype>(start, 0); i < text.size() && !result.match; ++i) {
                if (const auto length = matchAt(text, i, pattern, state.searchMatchCase))
                    result.match = TextRange{i, *length};
            }
        } else {
            // Never a match that begins at the caret's own character or after it.
            for (qsizetype i = std::min(start - 2, text.size() - 1); i >= 0 && !result.match; --i) {
                if (const auto length = matchAt(text, i, pattern, state.searchMatchCase))
                    result.match = TextRange{i, *length};
            }
        }
    }
    if (!result.match)
        result.message = QStringLiteral("Cannot find \"") + state.searchText + u'"';
    state.lastMatchStart = result.match ? result.match->start : caret;
    state.searchRestart = false;
    return result;
}

} // namespace orv
