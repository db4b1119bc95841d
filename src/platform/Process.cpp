#include "platform/Process.h"

#include "platform/Exception.h"
#include "platform/ProcessArgs.h"
#include "platform/TextUtil.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace {

bool IsExecutableFile(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

bool HasExeExtension(const std::string &path)
{
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.size() > 4 && SameTextAscii(std::string_view(name).substr(name.size() - 4), ".exe");
}

// An ELF program or a script with an interpreter line; a Windows program starts "MZ".
bool HasNativeSignature(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char head[4] = {};
    const ssize_t got = ::read(fd, head, sizeof head);
    ::close(fd);
    if (got >= 4 && std::memcmp(head,
                                "\x7f"
                                "ELF",
                                4) == 0)
        return true;
    return got >= 2 && head[0] == '#' && head[1] == '!';
}

std::string Unquoted(const std::string &folder)
{
    if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"')
        return folder.substr(1, folder.size() - 2);
    return folder;
}

std::string Resolve(const std::string &program)
{
    if (program.find('/') != std::string::npos)
        return program;
    const std::string found = FindOnPath(program);
    return found.empty() ? program : found;
}

// posix_spawn without a shell: glibc reports a failed exec as the call's result.
std::unique_ptr<TProcess> Spawn(const std::string &path, const std::vector<std::string> &argv,
                                const std::string &workingFolder, const std::string &shownName)
{
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    struct Cleanup {
        posix_spawn_file_actions_t &a;
        posix_spawnattr_t &t;
        ~Cleanup()
        {
            posix_spawn_file_actions_destroy(&a);
            posix_spawnattr_destroy(&t);
        }
    } cleanup{actions, attr};

    if (!workingFolder.empty()) {
        struct stat st {};
        if (::stat(workingFolder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            throw EModwright("Cannot start " + shownName + ": the working folder " + workingFolder +
                             " does not exist.");
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    }
    // The child starts with the default signal handling and nothing blocked,
    // whatever this process changed for itself.
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char *> args;
    args.reserve(argv.size() + 1);
    for (const std::string &a : argv)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);

    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, path.c_str(), &actions, &attr, args.data(), environ);
    if (rc != 0)
        throw EModwright("Cannot start " + shownName + ": " + std::strerror(rc) + ".");
    return std::make_unique<TProcess>(pid);
}

uint32_t ExitCodeOf(int status)
{
    if (WIFEXITED(status))
        return uint32_t(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return 128u + uint32_t(WTERMSIG(status));
    return 0;
}

} // namespace

TProcess::~TProcess()
{
    std::lock_guard<std::mutex> guard(lock_);
    if (ended_ || queryFailed_)
        return;
    // Nobody waits for it any more; a detached waiter reaps it when it ends.
    const pid_t pid = pid_;
    std::thread([pid] {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

bool TProcess::reap(bool block)
{
    if (ended_ || queryFailed_)
        return true;
    int status = 0;
    for (;;) {
        const pid_t r = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
        if (r == pid_) {
            if (WIFEXITED(status) || WIFSIGNALED(status)) {
                ended_ = true;
                exitCode_ = ExitCodeOf(status);
                return true;
            }
            if (!block)
                return false;
            continue;
        }
        if (r == 0)
            return false;
        if (errno == EINTR)
            continue;
        // ECHILD: someone else reaped it (SIGCHLD ignored); its status is lost.
        queryFailed_ = true;
        return true;
    }
}

bool TProcess::GetExitCode(uint32_t &code)
{
    std::lock_guard<std::mutex> guard(lock_);
    reap(false);
    if (queryFailed_)
        return false;
    code = ended_ ? exitCode_ : StillActive;
    return true;
}

uint32_t TProcess::Wait()
{
    // Not under the lock: a poller on another thread must not be blocked for
    // the child's whole life. A child reaped here is recorded under the lock.
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (ended_ || queryFailed_)
            return exitCode_;
    }
    int status = 0;
    pid_t r;
    while ((r = ::waitpid(pid_, &status, 0)) < 0 && errno == EINTR) {
    }
    std::lock_guard<std::mutex> guard(lock_);
    if (ended_)
        return exitCode_;
    if (r == pid_) {
        // A poller that raced with this wait may have seen ECHILD meanwhile.
        ended_ = true;
        queryFailed_ = false;
        exitCode_ = ExitCodeOf(status);
    } else {
        queryFailed_ = true;
    }
    return exitCode_;
}

std::string FindOnPath(const std::string &name)
{
    if (name.empty() || name.find('/') != std::string::npos)
        return {};
    const char *path = std::getenv("PATH");
    std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const size_t colon = dirs.find(':');
        // An empty entry stands for the current folder.
        const std::string_view dir = dirs.substr(0, colon);
        const std::string candidate = (dir.empty() ? std::string(".") : std::string(dir)) + "/" + name;
        if (IsExecutableFile(candidate))
            return candidate;
        if (colon == std::string_view::npos)
            break;
        dirs.remove_prefix(colon + 1);
    }
    return {};
}

TStartKind StartKindOf(const std::string &path)
{
    if (HasNativeSignature(path))
        return skNative;
    if (HasExeExtension(path))
        return skWindows;
    return skDocument;
}

std::unique_ptr<TProcess> StartProgram(const std::string &program, const std::vector<std::string> &args,
                                       const std::string &workingFolder)
{
    if (program.empty())
        throw EModwright("Cannot start a program without a name.");
    const std::string path = Resolve(program);
    std::vector<std::string> argv;
    if (HasExeExtension(path) && !HasNativeSignature(path)) {
        if (::access(path.c_str(), F_OK) != 0)
            throw EModwright("Cannot start " + program + ": " + std::strerror(errno) + ".");
        const std::string wine = FindOnPath("wine");
        if (wine.empty())
            throw EModwright("Cannot start " + program +
                             ": it is a Windows program, and wine, which runs Windows programs, "
                             "is not installed.");
        argv.push_back(wine);
        argv.push_back(path);
        argv.insert(argv.end(), args.begin(), args.end());
        return Spawn(wine, argv, workingFolder, program);
    }
    argv.push_back(path);
    argv.insert(argv.end(), args.begin(), args.end());
    return Spawn(path, argv, workingFolder, program);
}

std::unique_ptr<TProcess> OpenDocument(const std::string &path)
{
    if (::access(path.c_str(), F_OK) != 0)
        throw EModwright("Cannot open " + path + ": " + std::strerror(errno) + ".");
    const std::string opener = FindOnPath("xdg-open");
    if (opener.empty())
        throw EModwright("Cannot open " + path + ": xdg-open, which opens documents, is not installed.");
    return Spawn(opener, {opener, path}, {}, path);
}

std::unique_ptr<TProcess> ShellExecute(const std::string &file, const std::string &parameters,
                                       const std::string &workingFolder)
{
    const std::string path = Resolve(file);
    const TStartKind kind = StartKindOf(path);
    if (kind == skDocument && !IsExecutableFile(path))
        return OpenDocument(path);
    return StartProgram(path, SplitCommandLine(parameters), Unquoted(workingFolder));
}
