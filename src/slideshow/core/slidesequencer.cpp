#include "slideshow/core/slidesequencer.h"

#include "common/core/paths.h"
#include "common/core/units.h"

#include <cmath>
#include <utility>

namespace orv {

SlideKind slideKindOf(const QString& entry)
{
    return entry.right(3).toLower() == QLatin1String("wav") ? SlideKind::Wave : SlideKind::Picture;
}

PlayerModes playerModes(const ShowSettings& settings)
{
    PlayerModes m;
    if (settings.advanceOnKey) {
        m.advanceOnKey = true;
        m.advanceOnTimer = false;
    }
    if (settings.advanceOnTimer) {
        m.advanceOnKey = false;
        m.advanceOnTimer = true;
        if (const std::optional<int> ms = settings.interval.timerMilliseconds())
            m.timerIntervalMs = *ms;
    }
    return m;
}

std::optional<PlayerInput> keyInput(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    return text.at(0) == QChar(27) ? PlayerInput::Escape : PlayerInput::CharacterKey;
}

PlayerAction playerAction(PlayerInput input, bool singlePictureMode, const PlayerModes& modes)
{
    const auto advanceIf = [](bool on) { return on ? PlayerAction::Advance : PlayerAction::Nothing; };
    switch (input) {
    case PlayerInput::Escape:
    case PlayerInput::RightButton:
        return PlayerAction::Close;
    case PlayerInput::CharacterKey:
    case PlayerInput::LeftButton:
        return singlePictureMode ? PlayerAction::Close : advanceIf(modes.advanceOnKey);
    case PlayerInput::MiddleButton:
        return PlayerAction::Nothing;
    case PlayerInput::Tick:
        return singlePictureMode ? PlayerAction::Nothing : advanceIf(modes.advanceOnTimer);
    }
    return PlayerAction::Nothing;
}

QPoint slideOffsetTwips(QSize windowPixels, double twipsPerPixelX, double twipsPerPixelY, QSize pictureHimetric)
{
    const auto offset = [](double windowTwips, int himetric, double divisor) {
        return static_cast<int>(roundHalfEven((windowTwips - himetric / divisor) / 2.0));
    };
    return {offset(windowPixels.width() * twipsPerPixelX, pictureHimetric.width(), kSlideDivisorX),
            offset(windowPixels.height() * twipsPerPixelY, pictureHimetric.height(), kSlideDivisorY)};
}

QPoint slideTopLeft(QSize windowPixels, double twipsPerPixelX, double twipsPerPixelY, QSize pictureHimetric)
{
    const QPoint twips = slideOffsetTwips(windowPixels, twipsPerPixelX, twipsPerPixelY, pictureHimetric);
    return {static_cast<int>(std::lround(twips.x() / twipsPerPixelX)),
            static_cast<int>(std::lround(twips.y() / twipsPerPixelY))};
}

SlideSequencer::SlideSequencer(Prepare prepare) : prepare_(std::move(prepare)) {}

SlideStep SlideSequencer::ShowNext(const ShowView& show)
{
    const int count = static_cast<int>(show.entries.size());
    slideLast_ = count - 1;
    SlideStep step;
    step.count = count;
    // Each entry is tried at most once per step, so a show with nothing to show ends.
    for (int tried = 0; tried < count; ++tried) {
        const QString entry = slideIndex_ >= 0 && slideIndex_ < count ? show.entries.at(slideIndex_) : QString();
        if (entry.isEmpty())
            break;
        QString name = entry;
        if (namesIgnoreCase())
            CapitalizePath(name);
        const int index = slideIndex_;
        const SlideKind kind = slideKindOf(entry);
        ++slideIndex_;
        if (show.loop && slideIndex_ > slideLast_)
            slideIndex_ = 0;
        if (!prepare_(index, name, kind))
            continue;
        step.index = index;
        step.entry = name;
        step.kind = kind;
        if (show.showFileName)
            step.caption = show.captionText + name + QLatin1Char(' ') + QString::number(index + 1) + QLatin1Char('/')
                           + QString::number(count);
        return step;
    }
    step.ended = true;
    return step;
}

std::optional<int> SlideSequencer::upcomingIndex(const ShowView& show) const
{
    if (slideIndex_ < 0 || slideIndex_ >= show.entries.size() || show.entries.at(slideIndex_).isEmpty())
        return std::nullopt;
    return slideIndex_;
}

} // namespace orv
