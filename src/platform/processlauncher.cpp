#include "platform/processlauncher.h"

#include "common/core/filenames.h"

#include <QList>

#include <cerrno>
#include <csignal>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace orv {

namespace {

// Writes all of `value` or nothing useful; in a forked child, so only system calls.
void report(int fd, int value)
{
    while (::write(fd, &value, sizeof value) < 0 && errno == EINTR) {
    }
}

} // namespace

bool DetachedProcessLauncher::startDetached(const QString& program, const QStringList& arguments,
                                            const QString& workingDirectory)
{
    // A bare name would be looked up in PATH; callers always resolve the program first.
    if (!program.startsWith(u'/'))
        return false;

    // Everything the children need is made here: after fork only system calls are safe.
    QList<QByteArray> words{encodeFileName(program)};
    for (const QString& a : arguments)
        words.append(encodeFileName(a));
    std::vector<char*> argv;
    for (QByteArray& w : words) {
        if (w.contains('\0'))
            return false;
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);
    const QByteArray folder = encodeFileName(workingDirectory);
    if (folder.contains('\0'))
        return false;

    // The grandchild tells why it could not start through this pipe; exec closes it.
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    if (child == 0) {
        ::close(fds[0]);
        // A session of its own, and a parent that exits at once: the program is nobody's
        // child here and never waits as a zombie.
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild < 0) {
            report(fds[1], errno);
            ::_exit(1);
        }
        if (grandchild > 0)
            ::_exit(0);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        struct sigaction byDefault {};
        byDefault.sa_handler = SIG_DFL;
        ::sigaction(SIGPIPE, &byDefault, nullptr);
        if (!folder.isEmpty() && ::chdir(folder.constData()) != 0) {
            report(fds[1], errno);
            ::_exit(127);
        }
        // execv, not execvp: no PATH search and no retry through /bin/sh.
        ::execve(argv[0], argv.data(), environ);
        report(fds[1], errno);
        ::_exit(127);
    }
    ::close(fds[1]);
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    int failure = 0;
    ssize_t n;
    while ((n = ::read(fds[0], &failure, sizeof failure)) < 0 && errno == EINTR) {
    }
    ::close(fds[0]);
    return n == 0;
}

} // namespace orv
