#include "platform/commandsplit.h"

namespace orv {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// Inside double quotes a backslash only escapes these; before anything else it is literal.
bool escapableInDoubleQuotes(QChar c)
{
    return c == u'$' || c == u'`' || c == u'"' || c == u'\\' || c == u'\n';
}

} // namespace

std::optional<QStringList> splitArguments(const QString& text)
{
    if (text.contains(QChar(u'\0')))
        return std::nullopt;

    QStringList words;
    QString word;
    // A word exists once any part of it was seen, so '' and "" give empty words.
    bool inWord = false;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (isBlank(c)) {
            if (inWord) {
                words.append(word);
                word.clear();
                inWord = false;
            }
            ++i;
        } else if (c == u'\\') {
            if (i + 1 >= n) {
                // A lone backslash at the end stays, as it does in a shell.
                word.append(c);
                inWord = true;
                ++i;
            } else if (text.at(i + 1) == u'\n') {
                i += 2;
            } else {
                word.append(text.at(i + 1));
                inWord = true;
                i += 2;
            }
        } else if (c == u'\'') {
            const qsizetype close = text.indexOf(u'\'', i + 1);
            if (close < 0)
                return std::nullopt;
            word.append(QStringView(text).mid(i + 1, close - i - 1));
            inWord = true;
            i = close + 1;
        } else if (c == u'"') {
            inWord = true;
            ++i;
            bool closed = false;
            while (i < n) {
                const QChar d = text.at(i);
                if (d == u'"') {
                    closed = true;
                    ++i;
                    break;
                }
                if (d == u'\\' && i + 1 < n && escapableInDoubleQuotes(text.at(i + 1))) {
                    if (text.at(i + 1) != u'\n')
                        word.append(text.at(i + 1));
                    i += 2;
                    continue;
                }
                word.append(d);
                ++i;
            }
            if (!closed)
                return std::nullopt;
        } else {
            word.append(c);
            inWord = true;
            ++i;
        }
    }
    if (inWord)
        words.append(word);
    return words;
}

} // namespace orv
