#include "killtrials.h"

#include <random>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orv::test {

namespace {

// Exit statuses of the writer child.
constexpr int kSaveFailed = 2;
constexpr int kNoPipe = 3;

} // namespace

KillTrialTally runKillTrials(const KillTrialSubject& subject, int trials, std::uint32_t seed)
{
    KillTrialTally tally;
    std::optional<int> last = subject.onDisk();
    const auto before = std::chrono::steady_clock::now();
    const bool saved = last && subject.save(*last + 1);
    tally.saveTime = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - before);
    last = subject.onDisk();
    if (!saved || !last) {
        tally.damaged = 1;
        tally.firstProblem = QStringLiteral("the file holds no whole generation before the first trial");
        return tally;
    }
    std::mt19937 random(seed);
    std::uniform_int_distribution<long long> delay(0, 3 * tally.saveTime.count() + 1);
    const auto problem = [&](const QString& text) {
        if (tally.firstProblem.isEmpty())
            tally.firstProblem = QStringLiteral("trial %1: %2").arg(tally.trials).arg(text);
    };
    for (int trial = 0; trial < trials; ++trial) {
        int ready[2];
        if (::pipe(ready) != 0) {
            problem(QStringLiteral("no pipe"));
            break;
        }
        const int from = *last + 1;
        const pid_t child = ::fork();
        if (child < 0) {
            ::close(ready[0]);
            ::close(ready[1]);
            problem(QStringLiteral("no fork"));
            break;
        }
        if (child == 0) {
            ::close(ready[0]);
            if (::write(ready[1], "x", 1) != 1)
                ::_exit(kNoPipe);
            for (int n = from;; ++n) {
                if (!subject.save(n))
                    ::_exit(kSaveFailed);
            }
        }
        ::close(ready[1]);
        char byte;
        const bool started = ::read(ready[0], &byte, 1) == 1;
        ::close(ready[0]);
        if (started)
            std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        ++tally.trials;
        if (WIFEXITED(status)) {
            ++tally.writerFailed;
            problem(QStringLiteral("the writer ended with status %1").arg(WEXITSTATUS(status)));
        }
        const std::optional<int> now = subject.onDisk();
        if (!now) {
            ++tally.damaged;
            problem(QStringLiteral("the file is no whole generation"));
        } else if (*now == *last) {
            ++tally.kept;
        } else if (*now > *last) {
            ++tally.advanced;
            last = now;
        } else {
            ++tally.damaged;
            problem(QStringLiteral("generation %1 went back to %2").arg(*last).arg(*now));
        }
    }
    return tally;
}

ChildEnd runInChild(const std::function<int()>& body, std::chrono::milliseconds deadline)
{
    ChildEnd end;
    const pid_t child = ::fork();
    if (child < 0)
        return end;
    if (child == 0)
        ::_exit(body());
    const auto until = std::chrono::steady_clock::now() + deadline;
    int status = 0;
    for (;;) {
        const pid_t r = ::waitpid(child, &status, WNOHANG);
        if (r == child) {
            end.finished = true;
            break;
        }
        if (r < 0 && errno != EINTR)
            return end;
        if (std::chrono::steady_clock::now() >= until) {
            ::kill(child, SIGKILL);
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            return end;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    end.exited = WIFEXITED(status);
    end.code = end.exited ? WEXITSTATUS(status) : -1;
    end.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return end;
}

} // namespace orv::test
