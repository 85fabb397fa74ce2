#include "platform/WatchedStart.h"

#include <QFile>
#include <QObject>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// The read end of the pipe on which the watching process reports how the program ended.
class TEndWatch : public QObject {
public:
    TEndWatch(int fd, QObject* context, std::function<void(bool)> ended)
        : QObject(context), fd_(fd), ended_(std::move(ended)) {
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, notifier] {
            char verdict = 0;
            ssize_t n;
            while ((n = read(fd_, &verdict, 1)) < 0 && errno == EINTR) {
            }
            notifier->setEnabled(false);
            deleteLater();
            // Nothing read: the watching process was killed, and nothing is known.
            if (n == 1)
                ended_(verdict == '0');
        });
    }
    ~TEndWatch() override { close(fd_); }

private:
    int fd_;
    std::function<void(bool)> ended_;
};

void waitFor(pid_t pid, int* status) {
    while (waitpid(pid, status, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

bool StartWatched(const QString& program, const QStringList& arguments, const QString& folder,
                  QObject* context, std::function<void(bool succeeded)> ended) {
    // Everything the new processes need is made before they exist: between fork and exec only
    // calls that are safe in a copy of a process with threads.
    std::vector<QByteArray> texts{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        texts.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    const QByteArray dir = QFile::encodeName(folder);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    const pid_t first = fork();
    if (first == 0) {
        // The first child makes the watching process and leaves at once, so that the watcher
        // belongs to the system and no end of ours ends it.
        setsid();
        const pid_t watcher = fork();
        if (watcher != 0)
            _exit(watcher < 0 ? 1 : 0);
        signal(SIGPIPE, SIG_IGN); // the report may find us gone
        signal(SIGCHLD, SIG_DFL);
        close(fds[0]);
        const pid_t child = fork();
        if (child == 0) {
            signal(SIGPIPE, SIG_DFL);
            sigset_t none;
            sigemptyset(&none);
            sigprocmask(SIG_SETMASK, &none, nullptr);
            if (dir.isEmpty() || chdir(dir.constData()) == 0)
                execv(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        if (child > 0)
            waitFor(child, &status);
        const char verdict = child > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? '0' : '1';
        while (write(fds[1], &verdict, 1) < 0 && errno == EINTR) {
        }
        _exit(0);
    }
    close(fds[1]);
    if (first < 0) {
        close(fds[0]);
        return false;
    }
    int status = 0;
    waitFor(first, &status);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        close(fds[0]);
        return false;
    }
    new TEndWatch(fds[0], context, std::move(ended));
    return true;
}
