#pragma once

#include "platform/Exception.h"

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs work in a forked child and returns its outcome: 0 when it raised
// EModwright, 1 when it returned normally, 2 for any other exception, -1 when the
// child died otherwise. A file size limit (bytes, 0 = none) makes every write
// beyond it fail as a full disk would; it holds for the child only, and works
// for root too, unlike a read-only folder.
inline int RunInChild(const std::function<void()> &work, rlim_t fileSizeLimit = 0)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (fileSizeLimit > 0) {
            std::signal(SIGXFSZ, SIG_IGN); // the write then fails with EFBIG
            rlimit limit{fileSizeLimit, fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        int code = 1;
        try {
            work();
        } catch (const EModwright &) {
            code = 0;
        } catch (...) {
            code = 2;
        }
        ::_exit(code);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
