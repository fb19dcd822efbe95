#include "editor/core/recentfiles.h"

#include "common/core/settingsstore.h"

#include <algorithm>

namespace orv {

namespace {

QString key(int i) { return QStringLiteral("RecentFile") + QString::number(i); }

} // namespace

const QString RecentFiles::Section = QStringLiteral("Recent Files");

RecentFiles::RecentFiles(SettingsStore& store, QString application)
    : store_(store), application_(std::move(application))
{
}

void RecentFiles::push(const QString& path)
{
    QList<QPair<QString, QString>> writes;
    for (int i = kCount - 1; i >= 1; --i) {
        const QString value = store_.read(application_, Section, key(i));
        if (!value.isEmpty())
            writes.append({key(i + 1), value});
    }
    writes.append({key(1), path});
    // One replacement of the store file, the same as writing each key in turn.
    store_.writeSection(application_, Section, writes);
}

QString RecentFiles::first() const { return store_.read(application_, Section, key(1)); }

QStringList RecentFiles::entries() const
{
    QStringList values;
    const auto pairs = store_.listSection(application_, Section);
    for (qsizetype i = 0; i < std::min<qsizetype>(pairs.size(), kCount); ++i)
        values.append(pairs[i].second);
    return values;
}

bool RecentMenu::holds(const QString& path) const
{
    return std::find(captions.cbegin(), captions.cend(), path) != captions.cend();
}

void RecentMenu::fill(int k, const QString& text)
{
    if (k < 1 || k > RecentFiles::kCount)
        return;
    separatorVisible = true;
    captions[size_t(k - 1)] = text;
    visible[size_t(k - 1)] = true;
}

} // namespace orv
