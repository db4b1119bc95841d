#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <vector>

// Starting outside programs, the stand-in for the Windows start calls. Programs
// are always started from an argument list with posix_spawn, never through a
// shell, so no character of a file name can run anything. A ".exe" that is not
// a native program (an ELF file or a "#!" script) runs under wine when wine is
// on the PATH; documents open with the desktop's default program (xdg-open).

// The status of a process that has not ended yet (Windows' STILL_ACTIVE). A
// POSIX exit code is 0..255, so it can never be mistaken for one.
constexpr uint32_t StillActive = 259;

// A started child process. The handle reaps the child: while it lives through
// GetExitCode and Wait, and when it is dropped before the child has ended, a
// background waiter takes the child over, so no zombie is ever left behind.
class TProcess {
public:
    explicit TProcess(pid_t pid) : pid_(pid) {}
    ~TProcess();
    TProcess(const TProcess &) = delete;
    TProcess &operator=(const TProcess &) = delete;

    pid_t Pid() const { return pid_; }
    // As GetExitCodeProcess: true with StillActive while the child runs, true
    // with its exit code after it ended (128 + the signal number when a signal
    // ended it); false when the status cannot be queried. Callable from any thread.
    bool GetExitCode(uint32_t &code);
    // Blocks until the child has ended; returns its exit code.
    uint32_t Wait();

private:
    bool reap(bool block); // true when the child has ended (or is gone)

    pid_t pid_;
    std::mutex lock_;
    bool ended_ = false;
    bool queryFailed_ = false;
    uint32_t exitCode_ = 0;
};

// Where a file goes when it is started.
enum TStartKind {
    skNative,   // an ELF program or a "#!" script: started itself
    skWindows,  // a ".exe" that is not native: started under wine
    skDocument, // anything else: opened with the desktop's default program
};
TStartKind StartKindOf(const std::string &path);

// The full path of a program found in the folders of $PATH; empty when none.
std::string FindOnPath(const std::string &name);

// Starts a program with the arguments (the program itself not counted) in the
// working folder (empty: ours). Raises EModwright with a clear message when the
// program cannot be started.
std::unique_ptr<TProcess> StartProgram(const std::string &program, const std::vector<std::string> &args,
                                       const std::string &workingFolder = {});

// The shell's start call: a program (native or ".exe") is started with the
// parameter string cut into arguments by the Windows rules (ProcessArgs.h); any
// other file is opened with xdg-open. A working folder written in double quotes
// is used without them. Raises EModwright when nothing could be started.
std::unique_ptr<TProcess> ShellExecute(const std::string &file, const std::string &parameters,
                                       const std::string &workingFolder = {});

// Opens a document with the desktop's default program.
std::unique_ptr<TProcess> OpenDocument(const std::string &path);
