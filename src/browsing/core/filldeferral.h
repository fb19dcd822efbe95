#pragma once

namespace orv {

// A list's next fill put off until the caller releases it: a command-line file is shown first
// and its folder listed behind it. arm() before the fill; that fill asks takeArmed() and waits;
// release() tells whether a fill is still waiting, and any later fill ends the wait.
class FillDeferral {
public:
    void arm() { state_ = State::Armed; }

    // For every fill: true for the one armed for, which then waits.
    bool takeArmed()
    {
        const bool armed = state_ == State::Armed;
        state_ = armed ? State::Waiting : State::None;
        return armed;
    }

    // True when a put-off fill is still waiting; it is no longer put off either way.
    bool release()
    {
        const bool waiting = state_ == State::Waiting;
        state_ = State::None;
        return waiting;
    }

private:
    enum class State { None, Armed, Waiting } state_ = State::None;
};

} // namespace orv
