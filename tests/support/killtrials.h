#pragma once

#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace orv::test {

// What is being saved and how to tell what the file holds afterwards.
struct KillTrialSubject {
    // Saves generation n of the file; false when the save reports a failure. Runs in the child.
    std::function<bool(int n)> save;
    // The generation the file holds, byte for byte; nullopt when it is not exactly one of them.
    std::function<std::optional<int>()> onDisk;
};

struct KillTrialTally {
    int trials = 0;
    int kept = 0;        // the file holds the generation from before the trial
    int advanced = 0;    // it holds one of the generations saved during the trial
    int damaged = 0;     // it holds something else, or an older generation than before
    int writerFailed = 0;  // a save reported failure before the kill
    std::chrono::microseconds saveTime{};  // one save, timed before the trials
    QString firstProblem;
    bool allWhole() const { return damaged == 0 && writerFailed == 0 && trials > 0; }
};

// Each trial forks a writer that saves generation after generation of the file until it is
// killed (SIGKILL) at a random moment within three save times of its start (one save is timed
// first, so the kills land at every stage of a save on a fast or a slow build); the file must
// then hold one whole generation, never an older one than before the trial. The subject's file
// must hold a whole generation before the first trial.
KillTrialTally runKillTrials(const KillTrialSubject& subject, int trials, std::uint32_t seed);

// How a child process run by runInChild ended.
struct ChildEnd {
    bool finished = false;   // false: it outlived the deadline and was killed
    bool exited = false;     // ended by returning or exit()
    int code = -1;           // its exit status when exited
    int signal = 0;          // the signal that ended it otherwise
};

// Runs body in a forked child, which exits with its return value; waits at most `deadline`.
ChildEnd runInChild(const std::function<int()>& body, std::chrono::milliseconds deadline);

} // namespace orv::test
