#include "slideshow/core/showeditor.h"

#include "common/core/paths.h"

#include <QSet>

#include <cmath>

namespace orv {

namespace {

std::optional<double> parseSeconds(const QString& text, const QLocale& locale)
{
    bool ok = false;
    double v = locale.toDouble(text, &ok);
    if (!ok)
        v = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

} // namespace

QString intervalPromptText(const SlideInterval& interval, const QLocale& locale)
{
    const std::optional<double> ms = interval.asMilliseconds();
    if (!ms || !(*ms > 0))
        return QStringLiteral("5");
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(*ms / 1000.0, 'g', 15);
}

IntervalAnswer intervalFromAnswer(const std::optional<QString>& answer, const QLocale& locale)
{
    IntervalAnswer a;
    const QString text = answer.value_or(QString()).trimmed();
    if (text.isEmpty()) {
        a.accepted = true;
        a.interval = SlideInterval::fromMilliseconds(kDefaultIntervalMs);
        return a;
    }
    const std::optional<double> seconds = parseSeconds(text, locale);
    if (!seconds || !(*seconds > 0))
        return a;
    const double ms = *seconds * 1000.0;
    if (!std::isfinite(ms))
        return a;
    a.accepted = true;
    a.interval = SlideInterval::fromMilliseconds(ms);
    return a;
}

void ShowEditorState::reset()
{
    entries_.clear();
    settings_ = ShowSettings();
    showSaved_ = true;
}

QString ShowEditorState::entryPath(const QString& folder, const QString& name) const
{
    const QChar sep = nativeSeparator();
    QString path = folder.endsWith(sep) ? folder + name : folder + sep + name;
    if (namesIgnoreCase())
        CapitalizePath(path);
    return path;
}

void ShowEditorState::add(const QString& folder, const QStringList& names)
{
    for (const QString& name : names)
        entries_.append(entryPath(folder, name));
    if (!entries_.isEmpty())
        showSaved_ = false;
}

void ShowEditorState::addAll(const QString& folder, const QStringList& listedNames)
{
    for (const QString& name : listedNames)
        entries_.append(entryPath(folder, name));
    if (!listedNames.isEmpty())
        showSaved_ = false;
}

void ShowEditorState::remove(const QList<int>& selectedRows)
{
    const QSet<int> selected(selectedRows.begin(), selectedRows.end());
    QStringList kept;
    kept.reserve(entries_.size());
    for (qsizetype i = 0; i < entries_.size(); ++i)
        if (!selected.contains(static_cast<int>(i)))
            kept.append(entries_.at(i));
    entries_ = kept;
    if (!entries_.isEmpty())
        showSaved_ = false;
}

void ShowEditorState::removeAll()
{
    if (entries_.isEmpty())
        return;
    entries_.clear();
    showSaved_ = false;
}

void ShowEditorState::toggleKeyMode()
{
    settings_.advanceOnKey = !settings_.advanceOnKey;
    settings_.advanceOnTimer = !settings_.advanceOnTimer;
}

bool ShowEditorState::toggleTimerMode()
{
    toggleKeyMode();
    return settings_.advanceOnTimer;
}

bool ShowEditorState::answerInterval(const std::optional<QString>& answer, const QLocale& locale)
{
    const IntervalAnswer a = intervalFromAnswer(answer, locale);
    if (a.accepted)
        settings_.interval = a.interval;
    return a.accepted;
}

ShowSave ShowEditorState::save(const QString& path)
{
    const ShowSave result = saveShowFile(path, settings_, entries_);
    if (result.saved)
        showSaved_ = true;
    return result;
}

void ShowEditorState::applyRead(const ShowFileRead& r)
{
    settings_ = r.settings;
    entries_ = r.entries;
}

bool ShowEditorState::open(const QString& path)
{
    entries_.clear();
    const ShowFileRead r = readShowFile(path, settings_);
    applyRead(r);
    return r.valid;
}

bool ShowEditorState::open(QIODevice& in)
{
    entries_.clear();
    const ShowFileRead r = readShowFile(in, settings_);
    applyRead(r);
    return r.valid;
}

} // namespace orv
