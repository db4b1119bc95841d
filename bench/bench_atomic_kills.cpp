// Kills a process in the middle of atomic saves, many times over, and counts what a crash
// leaves: a torn file (neither the old nor the new contents, whole) and temporary files
// beside it, before and after the next save of the same file.
//
//   bench_atomic_kills [KILLS]   (default 200)

#include "platform/FileIo.h"

#include <QDir>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr size_t kSize = 256 * 1024;

bool whole(const std::string &contents)
{
    return contents.size() == kSize &&
           (contents == std::string(kSize, 'a') || contents == std::string(kSize, 'b') ||
            contents == std::string(kSize, 'c'));
}

int others(const QString &folder)
{
    return int(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System).size()) - 1;
}

} // namespace

int main(int argc, char **argv)
{
    const int kills = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    QTemporaryDir dir;
    const std::string path = (dir.path() + "/kick.wav").toStdString();
    WriteFileAtomic(path, std::string(kSize, 'a'));
    std::mt19937 random(12345);
    // Per kill: the temporary files it added; after the next save: how many are still there.
    int torn = 0, leftByKills = 0, killsWithDebris = 0, remaining = 0;
    for (int i = 0; i < kills; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (bool b = false;; b = !b)
                WriteFileAtomic(path, std::string(kSize, b ? 'b' : 'a'));
        }
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<int>(2000, 30000)(random)));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        std::string contents;
        if (!ReadWholeFile(path, contents) || !whole(contents))
            ++torn;
        const int added = others(dir.path()) - remaining;
        leftByKills += added;
        killsWithDebris += added > 0 ? 1 : 0;
        WriteFileAtomic(path, std::string(kSize, 'c')); // the next save of the file
        remaining = others(dir.path());
    }
    std::printf(
        "| Kills during atomic saves | torn files | kills that left a temporary file | temporary files left "
        "by the kills | still there after the last next save |\n|---|---|---|---|---|\n"
        "| %d | %d | %d | %d | %d |\n",
        kills, torn, killsWithDebris, leftByKills, remaining);
    return 0;
}
