#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

namespace orv {

// What one settings file holds: sections, and the keys of each, in first-written order.
struct SettingsSection {
    QString name;
    QList<QPair<QString, QString>> entries;
    QHash<QString, qsizetype> index;

    void reindex();
};

struct SettingsDocument {
    QList<SettingsSection> sections;
    QHash<QString, qsizetype> index;

    const SettingsSection* find(const QString& name) const;
    // The section's place, appending it when it is new.
    qsizetype sectionIndex(const QString& name);
    // Each returns true when something changed. An emptied section is dropped.
    bool set(qsizetype section, const QString& key, const QString& value);
    bool remove(const QString& section, const QString& key);
    bool clear();
};

// The document the bytes hold; false (and `doc` left empty) when they are not one whole
// settings file: no header, no end marker, a line that is no section, key or comment, an
// unknown escape, or bytes that are not UTF-8.
bool parseSettingsFile(const QByteArray& bytes, SettingsDocument& doc);
// The file for a document; parsing it gives the same sections, keys and values back.
QByteArray serializeSettingsFile(const SettingsDocument& doc);

} // namespace orv
