#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace orv {

class SettingsStore;

// The four most recently used files, kept in the settings store under the application's
// section "Recent Files", keys "RecentFile1" (most recent) to "RecentFile4".
class RecentFiles {
public:
    static constexpr int kCount = 4;
    static const QString Section;  // "Recent Files"

    RecentFiles(SettingsStore& store, QString application);

    // Shifts the stored list down one place and stores path as "RecentFile1"; the fourth path
    // falls off. No duplicate check.
    void push(const QString& path);
    // "RecentFile1", empty when missing.
    QString first() const;
    // The values of the section's first four keys in the order they were first written,
    // empty values included.
    QStringList entries() const;

private:
    SettingsStore& store_;
    QString application_;
};

// The recent-file entries at the end of one window's File menu: a separator (entry 0) and the
// entries 1 to 4, all hidden and carrying their design captions until the list fills them.
struct RecentMenu {
    bool separatorVisible = false;
    std::array<QString, RecentFiles::kCount> captions = {
        QStringLiteral("RecentFile1"), QStringLiteral("RecentFile2"),
        QStringLiteral("RecentFile3"), QStringLiteral("RecentFile4")};
    std::array<bool, RecentFiles::kCount> visible{};

    // Whether one of the four captions is exactly path; never-filled entries count with
    // their design captions.
    bool holds(const QString& path) const;
    // Entry k (1 to 4) shows text: the separator and the entry become visible.
    void fill(int k, const QString& text);

    friend bool operator==(const RecentMenu&, const RecentMenu&) = default;
};

} // namespace orv
