#pragma once

// The three files the program saves, as kill-trial subjects (killtrials.h). Every generation of
// a file has the same length and names itself at both ends, so what is on disk matches exactly
// one generation's bytes or none. Link the core library of each subject you use.

#include "common/core/settingsfile.h"
#include "common/core/settingsstore.h"
#include "editor/core/textfile.h"
#include "editor/core/textformat.h"
#include "killtrials.h"
#include "slideshow/core/showfile.h"

#include <QFile>

namespace orv::test {

inline QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QString generationTag(int n) { return QString::number(n).rightJustified(8, u'0'); }

// The generation a text starting with its tag claims to be; nullopt when it claims none.
inline std::optional<int> claimedGeneration(QStringView text)
{
    bool ok = false;
    const int n = text.left(8).toInt(&ok);
    return ok && text.size() >= 8 ? std::optional<int>(n) : std::nullopt;
}

// Settings: one big value rewritten, another section beside it that must survive.
inline QString settingsValue(int n)
{
    return generationTag(n) + u':' + QStringLiteral(" \u00e9\r\n\\=[x] ").repeated(12000) + generationTag(n);
}

inline QByteArray settingsBytes(int n)
{
    SettingsDocument doc;
    doc.set(doc.sectionIndex(QStringLiteral("Other")), QStringLiteral("kept"), QStringLiteral("yes"));
    doc.set(doc.sectionIndex(QStringLiteral("Big")), QStringLiteral("value"), settingsValue(n));
    return serializeSettingsFile(doc);
}

inline KillTrialSubject settingsSubject(const QString& root, const QString& app)
{
    SettingsStore store(root);
    store.write(app, QStringLiteral("Other"), QStringLiteral("kept"), QStringLiteral("yes"));
    store.write(app, QStringLiteral("Big"), QStringLiteral("value"), settingsValue(0));
    const QString path = store.filePath(app);
    return {
        [root, app](int n) {
            SettingsStore(root).write(app, QStringLiteral("Big"), QStringLiteral("value"), settingsValue(n));
            return true;
        },
        [path]() -> std::optional<int> {
            const QByteArray bytes = bytesOf(path);
            SettingsDocument doc;
            if (!parseSettingsFile(bytes, doc) || !doc.find(QStringLiteral("Big")))
                return std::nullopt;
            const auto& entries = doc.find(QStringLiteral("Big"))->entries;
            const std::optional<int> n = entries.isEmpty() ? std::nullopt : claimedGeneration(entries.first().second);
            return n && bytes == settingsBytes(*n) ? n : std::nullopt;
        },
    };
}

// A slide show of a few thousand pictures.
inline QStringList showEntries(int n)
{
    QStringList entries;
    for (int i = 0; i < 3000; ++i)
        entries.append(QStringLiteral("%1/pictures/holiday, day %2/photo %3.jpg").arg(generationTag(n)).arg(i % 7).arg(i));
    return entries;
}

inline KillTrialSubject showSubject(const QString& path)
{
    saveShowFile(path, ShowSettings(), showEntries(0));
    return {
        [path](int n) { return saveShowFile(path, ShowSettings(), showEntries(n)).saved; },
        [path]() -> std::optional<int> {
            const QByteArray bytes = bytesOf(path);
            const ShowFileRead read = readShowFileBytes(bytes, ShowSettings());
            const std::optional<int> n =
                read.valid && !read.entries.isEmpty() ? claimedGeneration(read.entries.first()) : std::nullopt;
            return n && bytes == showFileBytes(ShowSettings(), showEntries(*n)) ? n : std::nullopt;
        },
    };
}

// A text document in Windows line ends.
inline QString documentText(int n)
{
    return generationTag(n) + u'\n' + QStringLiteral("Cr\u00e8me br\u00fbl\u00e9e, 5 \u20ac\n").repeated(40000)
        + generationTag(n) + u'\n';
}

inline TextFormat documentFormat()
{
    TextFormat format;
    format.lineEnd = LineEnd::CrLf;
    return format;
}

inline KillTrialSubject editorSubject(const QString& path)
{
    writeTextFile(path, documentText(0), documentFormat());
    return {
        [path](int n) { return writeTextFile(path, documentText(n), documentFormat()).ok; },
        [path]() -> std::optional<int> {
            const QByteArray bytes = bytesOf(path);
            const std::optional<int> n = claimedGeneration(QString::fromLatin1(bytes.left(8)));
            return n && bytes == encodeText(documentText(*n), documentFormat()).bytes ? n : std::nullopt;
        },
    };
}

} // namespace orv::test
