#pragma once

// Ways to make a file write fail, or stop, the way a full disk, a killed program or a user
// without rights would, without administrator rights and without relying on permission bits when
// the tests run as the administrator.

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <chrono>
#include <csignal>
#include <functional>
#include <grp.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testing_support {

// Files may not grow beyond `bytes` while this lives: a write past it fails with EFBIG ("File too
// large"), as one on a full disk fails, instead of the signal that would end the program.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

// The user and group "nobody".
constexpr uid_t kNobody = 65534;

// Runs `check` without administrator rights: in this process for an ordinary user, in a child
// process that becomes "nobody" for the administrator (who may write anywhere). `check` returns
// what it found wrong, empty when all is well.
inline std::string AsUnprivileged(const std::function<std::string()>& check) {
    if (::geteuid() != 0) {
        return check();
    }
    int channel[2];
    if (::pipe(channel) != 0) {
        return "no pipe";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::string result;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
            result = "cannot become nobody";
        } else {
            try {
                result = check();
            } catch (const std::exception& error) {
                result = std::string("exception: ") + error.what();
            }
        }
        if (::write(channel[1], result.data(), result.size()) < 0) {
            ::_exit(2);
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string result;
    char chunk[512];
    for (ssize_t got; (got = ::read(channel[0], chunk, sizeof chunk)) > 0;) {
        result.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        result += " (the unprivileged check did not end normally)";
    }
    return result;
}

// The temporary files of our saves in `folder`.
inline QFileInfoList TemporaryFiles(const QString& folder) {
    return QDir(folder).entryInfoList({QStringLiteral("*.dvz-tmp")},
                                      QDir::Files | QDir::Hidden | QDir::System);
}

// Whether a file of `folder` not named in `others` holds at least `bytes` bytes: a save's new
// file, whatever its name, has got that far.
inline bool NewFileHolds(const QString& folder, const QStringList& others, qint64 bytes) {
    const QFileInfoList files =
        QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& file : files) {
        if (!others.contains(file.fileName()) && file.size() >= bytes) {
            return true;
        }
    }
    return false;
}

// Runs `save` in a child process and kills it (SIGKILL) as soon as `reached` says so, or when
// the child is done anyway. Returns false when the child ended before it could be killed.
inline bool KillDuringSave(const std::function<bool()>& reached,
                           const std::function<void()>& save) {
    const pid_t child = ::fork();
    if (child == 0) {
        try {
            save();
        } catch (...) {
        }
        ::_exit(0);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (;;) {
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child) {
            return false;
        }
        if (reached() || std::chrono::steady_clock::now() > deadline) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status);
}

} // namespace testing_support
