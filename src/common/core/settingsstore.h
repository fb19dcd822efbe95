#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace orv {

// The per-user store of everything that outlives a run: (application, section, key) -> text.
//
// One text file per application, <root>/<application>/settings.ini, with sections and keys in
// first-written order. Values are kept exactly (leading and trailing spaces, CR, LF, accents).
// Every write replaces the file atomically (temporary file, fsync, rename) under an advisory
// lock, re-reading the file first, so two running instances never lose each other's writes.
// Reads re-check the file (stat) and re-parse only when it changed, so a second instance's
// writes are seen at the next read without paying a parse per read.
// An unreadable or corrupt file is renamed aside (settings.ini.corrupt-<time>) and the store
// then behaves as a clean one. Nothing here blocks on what sits in the folder: a FIFO in the
// place of the file or of its lock is never waited on.
// When an application's file cannot be written (read-only or full file system, a folder or a
// bad file that cannot be moved in its place), its settings live on in memory until the
// program ends: reads return what was written, the file is left as it was, and check() tells.
// One object serves one thread at a time; separate objects may be used from separate threads.
class SettingsStore {
public:
    // root: the folder holding one sub-folder per application; empty means defaultRoot().
    explicit SettingsStore(QString root);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // $XDG_CONFIG_HOME, or ~/.config when it is unset, empty or not an absolute path.
    static QString defaultRoot();

    QString read(const QString& app, const QString& section, const QString& key,
                 const QString& defaultValue = QString()) const;
    void write(const QString& app, const QString& section, const QString& key, const QString& value);
    // The same as writing each pair in order, in one atomic replacement of the file.
    void writeSection(const QString& app, const QString& section, const QList<QPair<QString, QString>>& values);
    void removeKey(const QString& app, const QString& section, const QString& key);
    void deleteApplication(const QString& app);
    // All (key, value) pairs of the section in the order the keys were first written. Rewriting a
    // key keeps its place; a removed key that is written again counts as new and goes last.
    QList<QPair<QString, QString>> listSection(const QString& app, const QString& section) const;

    // The file that holds an application's settings. An application name must be a single folder
    // name (not empty, ".", ".." or holding '/'); for any other the store reads defaults, writes
    // nothing and this is empty.
    QString filePath(const QString& app) const;
    // Where the last corrupt file was set aside, empty when none was.
    QString lastSetAside() const;

    struct Status {
        bool kept = true;   // what is written reaches the file and outlives the run
        QString reason;     // why it does not: the system's explanation
        QString setAside;   // where this run moved the application's unreadable file, if it did
    };
    // Makes sure a write would reach the application's file (creating its folder and moving an
    // unreadable file aside, without changing what the file holds). From a failure on, the
    // settings live in memory as described above.
    Status check(const QString& app);

private:
    struct Impl;
    Impl* d;
};

} // namespace orv
