#pragma once

#include "slideshow/core/showfile.h"

#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace orv {

inline constexpr int kPlayingCaptionText = 90; // "Slide Show is playing "

// An entry whose last three characters are "wav" in any letter case is played as a sound
// (with or without a dot before them); every other entry is shown as a picture.
enum class SlideKind { Picture, Wave };
SlideKind slideKindOf(const QString& entry);

// How the player advances, fixed when the show starts: timer mode wins when both are chosen;
// with neither the show only ends (Escape, right click). The timer keeps its 5000 ms unless
// timer mode gives it the show's interval, and never receives an interval that is no positive
// number.
struct PlayerModes {
    bool advanceOnKey = false;
    bool advanceOnTimer = false;
    int timerIntervalMs = kDefaultIntervalMs;
};
PlayerModes playerModes(const ShowSettings& settings);

// What the full-screen window receives, and what it does with it.
enum class PlayerInput { Escape, CharacterKey, LeftButton, RightButton, MiddleButton, Tick };
enum class PlayerAction { Nothing, Advance, Close };
// A key press by the text it produces: Escape (character 27), another character key, or
// nothing for keys that produce no character.
std::optional<PlayerInput> keyInput(const QString& text);
// In the single-picture view every key and the left button close; ticks do nothing.
PlayerAction playerAction(PlayerInput input, bool singlePictureMode, const PlayerModes& modes);

// Where a slide's top-left corner goes, in pixels of the window: the offset is computed in
// twips as (window − picture HIMETRIC / divisor) / 2, halves to even, with 1.77 across and 1.7
// down; a picture larger than the window gets negative offsets and is cut on every side.
inline constexpr double kSlideDivisorX = 1.77;
inline constexpr double kSlideDivisorY = 1.7;
QPoint slideOffsetTwips(QSize windowPixels, double twipsPerPixelX, double twipsPerPixelY, QSize pictureHimetric);
QPoint slideTopLeft(QSize windowPixels, double twipsPerPixelX, double twipsPerPixelY, QSize pictureHimetric);

// What one step reads from the editor, which stays loaded behind the player.
struct ShowView {
    QStringList entries;
    bool loop = true;
    bool showFileName = true;
    QString captionText; // text 90
};

// One step of a show: the slide to put on screen, or the end of the show.
struct SlideStep {
    bool ended = false;
    int index = -1;  // the entry shown, from 0
    int count = 0;   // entries in the show
    QString entry;   // the path to show or play
    SlideKind kind = SlideKind::Picture;
    // The file-name caption ("text 90, path, i/n"); nullopt leaves the caption as it is.
    std::optional<QString> caption;
};

// The order in which a show's entries are played. It touches no file itself: before an entry
// is shown the caller's `prepare` loads it (picture decoded, sound file readable) and says
// whether that worked. An entry that cannot be prepared is skipped and the next one tried (its
// place still counts in "i/n"); a show in which no entry can be prepared ends instead of
// spinning. An empty entry ends the show where it stands.
class SlideSequencer {
public:
    using Prepare = std::function<bool(int index, const QString& entry, SlideKind kind)>;

    explicit SlideSequencer(Prepare prepare);

    // Starts from the first entry.
    void start() { slideIndex_ = 0; }

    // Shows the next entry that can be prepared, or ends the show.
    SlideStep ShowNext(const ShowView& show);

    // The entry the next step will try first (for reading it ahead), or nullopt when the next
    // step ends the show.
    std::optional<int> upcomingIndex(const ShowView& show) const;

    int slideIndex() const { return slideIndex_; }
    int slideLast() const { return slideLast_; }

private:
    Prepare prepare_;
    int slideIndex_ = 0;
    int slideLast_ = -1;
};

} // namespace orv
