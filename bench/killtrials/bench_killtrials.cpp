// Kill trials: a writer saving the settings store, a slide show or a text document is killed
// (SIGKILL) at random moments; afterwards each file must be the old or the new version, byte
// for byte. Usage: bench_killtrials [trials [folder]]
#include "savesubjects.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Subject {
    const char* name;
    QString path;
    orv::test::KillTrialSubject subject;
};

} // namespace

int main(int argc, char** argv)
{
    const int trials = argc > 1 ? std::atoi(argv[1]) : 1000;
    QTemporaryDir scratch(argc > 2 ? QString::fromLocal8Bit(argv[2]) + QStringLiteral("/killtrials-XXXXXX")
                                   : QDir::tempPath() + QStringLiteral("/orvane-killtrials-XXXXXX"));
    if (trials < 1 || !scratch.isValid()) {
        std::fprintf(stderr, "usage: bench_killtrials [trials [folder]]\n");
        return 2;
    }
    const QDir dir(scratch.path());
    const QString config = dir.filePath(QStringLiteral("config"));
    const QString app = QStringLiteral("Orvane Viewer");
    const QString show = dir.filePath(QStringLiteral("show.sli"));
    const QString text = dir.filePath(QStringLiteral("document.txt"));
    std::vector<Subject> subjects = {
        {"settings store", orv::SettingsStore(config).filePath(app), orv::test::settingsSubject(config, app)},
        {"slide show", show, orv::test::showSubject(show)},
        {"text document", text, orv::test::editorSubject(text)},
    };
    std::printf("%-15s %7s %9s %6s %6s %8s %8s %9s\n", "file", "size", "save ms", "trials", "old", "new",
                "damaged", "failed");
    bool whole = true;
    for (Subject& s : subjects) {
        const orv::test::KillTrialTally t = orv::test::runKillTrials(s.subject, trials, 20260101);
        std::printf("%-15s %7lld %9.2f %6d %6d %8d %8d %9d\n", s.name, static_cast<long long>(QFileInfo(s.path).size()),
                    double(t.saveTime.count()) / 1000, t.trials, t.kept, t.advanced, t.damaged, t.writerFailed);
        if (!t.allWhole()) {
            std::printf("  %s\n", qPrintable(t.firstProblem));
            whole = false;
        }
        std::fflush(stdout);
    }
    std::printf("%s\n", whole ? "every file was the old or the new version after every kill"
                              : "FAILED: a file was damaged or a save failed");
    return whole ? 0 : 1;
}
