#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class QIODevice;

namespace orv {

// The timer interval of a show in milliseconds. The editor sets it as a number; reading a
// file sets it to the text the file holds (unchecked), so that a later save writes that text
// back unchanged. The player converts either form when it starts.
class SlideInterval {
public:
    SlideInterval() = default; // 5000 ms
    static SlideInterval fromMilliseconds(double ms);
    static SlideInterval fromText(const QString& text);

    bool isText() const { return isText_; }
    // The number; meaningful only when !isText().
    double milliseconds() const { return ms_; }
    // The text read from a file; empty for a number.
    const QString& text() const { return text_; }

    // Line 5 of a show file: a number as a space, its digits and a space (" 5000 "); a text as
    // it was read.
    QString fileText() const;
    // The value as a number of milliseconds: the number itself, or the text read as a plain
    // decimal (C locale, surrounding spaces ignored); nullopt for a text that is no number.
    std::optional<double> asMilliseconds() const;
    // What the player's timer gets: the value rounded to whole milliseconds, halves to even,
    // at least 1. nullopt when the value is not a positive finite number: the timer then keeps
    // its own interval, so it never receives 0, a negative number or a text.
    std::optional<int> timerMilliseconds() const;

    friend bool operator==(const SlideInterval&, const SlideInterval&) = default;

private:
    double ms_ = 5000;
    QString text_;
    bool isText_ = false;
};

inline constexpr int kDefaultIntervalMs = 5000;

// How a show plays: the six settings stored with it. The defaults are those of a new show.
struct ShowSettings {
    bool advanceOnKey = true;
    bool advanceOnTimer = false;
    SlideInterval interval;
    bool loop = true;
    bool showPointer = true;
    bool showFileName = true;

    friend bool operator==(const ShowSettings&, const ShowSettings&) = default;
};

// The fixed lines of a show file.
inline const QString kShowFileHeader = QStringLiteral("[Orv Slide Show Data File]");
inline const QString kSettingsLine = QStringLiteral("[Settings]");
inline const QString kFilesLine = QStringLiteral("[Files]");

// Texts of the refusal: the message (with its line break) under the stop icon, and the title.
inline constexpr int kNotAShowFileText = 80;
inline constexpr int kNotAShowFileTitle = 81;

// A file above this size is no show a user made; it is refused rather than held in memory.
inline constexpr qint64 kMaxShowFileBytes = 16 * 1024 * 1024;

// The whole file for a show: the nine fixed lines (truth values in English whatever the
// language), then one entry per line in list order, every line ending in CR LF, in UTF-8.
// Entries are written as they are held (no change of letter case here). An entry that would
// not read back as one item (a comma, a line break, a leading space or double quote) is
// written in double quotes with its own quotes doubled; so is an interval text.
QByteArray showFileBytes(const ShowSettings& settings, const QStringList& entries);

// One value as the writer puts it on its line, quoted only when it must be.
QString showFileItem(const QString& value);

// What reading a show file gives. A refused file (no header) gives no entries and the
// settings it was given; the caller shows text 80 under the stop icon with title 81.
// Either way the caller's list holds `entries` afterwards: the count the editor keeps is
// entries.size(), and the unsaved-changes state stays as it was before the open.
struct ShowFileRead {
    bool valid = false;
    ShowSettings settings;
    QStringList entries;
};

// Reads a show from `in` (open for reading), applying the settings found in the file to
// `current`: an empty settings item leaves its setting, a truth value that is neither
// True/False (any letter case) nor a number leaves it too. Both CR LF and LF (and a lone CR)
// end lines; a UTF-8 byte-order mark at the start is skipped. Quoted items may hold commas,
// line breaks and doubled quotes.
ShowFileRead readShowFile(QIODevice& in, const ShowSettings& current);
ShowFileRead readShowFileBytes(const QByteArray& bytes, const ShowSettings& current);
// The same from a path; a path that names no regular readable file is refused.
ShowFileRead readShowFile(const QString& path, const ShowSettings& current);

// The outcome of a save. On failure the previous file at the path is untouched and the show
// stays unsaved; `reason` is the system's explanation.
struct ShowSave {
    bool saved = false;
    QString reason;
    // A message for the user naming the file and the reason (lines joined with CR).
    QString message(const QString& path) const;
};

// Writes the show to `path` through a temporary file beside it, synced and renamed over the
// target, so a failure (unwritable folder or file, full disk) never destroys the old file.
ShowSave saveShowFile(const QString& path, const ShowSettings& settings, const QStringList& entries);

} // namespace orv
