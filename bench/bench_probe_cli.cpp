// `modwright-cli probe` over 4,000 mixed files (1,000 each of BMP, JPEG, WAV, AIFF), against
// the floor, a process that opens each file and reads its first 64 bytes, and against the
// programs a user would run instead where they are installed: `identify -ping` (ImageMagick)
// for the images, `soxi` (SoX) for the samples. Wall-clock times, warm page cache, the best
// of several runs each; every program writes to /dev/null. Prints one table with the ratios.
//
//   bench_probe_cli [--cli PATH] [--runs N]

#include "ProbeFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using TClock = std::chrono::steady_clock;
using TNames = std::vector<std::string>;

constexpr int kPerKind = 1000;

// A skin's worth of panels and knobs and a drum kit, named as a listing orders them.
struct TFolder {
    QTemporaryDir dir;
    TNames all, images, samples;

    TFolder()
    {
        probefolder::Write(dir.path(), kPerKind);
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files, QDir::Name)) {
            const std::string n = QFile::encodeName(name).toStdString();
            all.push_back(n);
            (name.endsWith(".bmp") || name.endsWith(".jpg") ? images : samples).push_back(n);
        }
    }
};

// The wall time in ms since Start of the child Pid once it has ended, or nothing when it
// failed.
std::optional<double> timeOfChild(pid_t pid, TClock::time_point start)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    const double ms = std::chrono::duration<double, std::milli>(TClock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return ms;
}

// Runs the program with the arguments in Folder, output to /dev/null; the wall time in ms,
// or nothing when it could not run or failed.
std::optional<double> runProgram(const std::string &folder, const std::string &program, const TNames &before,
                                 const TNames &files)
{
    std::vector<std::string> args = before;
    args.insert(args.begin(), program);
    args.insert(args.end(), files.begin(), files.end());
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    const auto start = TClock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return std::nullopt;
    return timeOfChild(pid, start);
}

// The floor: a process that opens each file, reads 64 bytes and closes it.
std::optional<double> runFloor(const std::string &folder, const TNames &files)
{
    const auto start = TClock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(folder.c_str()) != 0)
            ::_exit(1);
        char buffer[64];
        size_t total = 0;
        for (const std::string &name : files) {
            const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                ::_exit(1);
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            total += n > 0 ? size_t(n) : 0;
            ::close(fd);
        }
        ::_exit(total > 0 ? 0 : 1);
    }
    return timeOfChild(pid, start);
}

std::optional<double> best(int runs, auto &&once)
{
    std::optional<double> result;
    once(); // warms the page cache and the program's own libraries
    for (int i = 0; i < runs; ++i) {
        const std::optional<double> ms = once();
        if (!ms)
            return std::nullopt;
        result = result ? std::min(*result, *ms) : *ms;
    }
    return result;
}

bool installed(const char *program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

void row(const char *measure, std::optional<double> ours, const char *peer, std::optional<double> theirs,
         const char *ratioText, std::optional<double> ratio)
{
    auto ms = [](std::optional<double> v) {
        return v ? QString::number(*v, 'f', 1).toStdString() : std::string("-");
    };
    std::printf("| %-34s | %9s | %-22s | %9s | %-24s | %7s |\n", measure, ms(ours).c_str(), peer,
                ms(theirs).c_str(), ratioText,
                ratio ? QString::number(*ratio, 'f', 2).toStdString().c_str() : "-");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::string cli = MODWRIGHT_BIN_DIR "/modwright-cli";
    int runs = 7;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--cli") == 0)
            cli = argv[i + 1];
        else if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
    }
    TFolder folder;
    const std::string path = QFile::encodeName(folder.dir.path()).toStdString();
    const TNames probe{"probe"};

    const auto floorAll = best(runs, [&] { return runFloor(path, folder.all); });
    const auto cliAll = best(runs, [&] { return runProgram(path, cli, probe, folder.all); });
    const auto floorImages = best(runs, [&] { return runFloor(path, folder.images); });
    const auto cliImages = best(runs, [&] { return runProgram(path, cli, probe, folder.images); });
    const auto floorSamples = best(runs, [&] { return runFloor(path, folder.samples); });
    const auto cliSamples = best(runs, [&] { return runProgram(path, cli, probe, folder.samples); });
    std::optional<double> identify, soxi;
    if (installed("identify"))
        identify = best(runs, [&] { return runProgram(path, "identify", {"-ping"}, folder.images); });
    if (installed("soxi"))
        soxi = best(runs, [&] { return runProgram(path, "soxi", {}, folder.samples); });

    auto div = [](std::optional<double> a, std::optional<double> b) -> std::optional<double> {
        if (!a || !b || *b <= 0)
            return std::nullopt;
        return *a / *b;
    };
    std::printf("%s probe, best of %d runs, ms (files: %zu mixed, %zu images, %zu samples)\n\n", cli.c_str(),
                runs, folder.all.size(), folder.images.size(), folder.samples.size());
    std::printf("| %-34s | %9s | %-22s | %9s | %-24s | %7s |\n", "Measure", "ours ms", "against", "their ms",
                "ratio", "value");
    std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(36, '-').c_str(), std::string(11, '-').c_str(),
                std::string(24, '-').c_str(), std::string(11, '-').c_str(), std::string(26, '-').c_str(),
                std::string(9, '-').c_str());
    row("probe, 4000 mixed files", cliAll, "floor (open, read 64)", floorAll, "x the floor (goal <= 2)",
        div(cliAll, floorAll));
    row("probe, images only", cliImages, "floor (open, read 64)", floorImages, "x the floor",
        div(cliImages, floorImages));
    row("probe, images only", cliImages, "identify -ping", identify, "x faster (goal >= 20)",
        div(identify, cliImages));
    row("probe, samples only", cliSamples, "floor (open, read 64)", floorSamples, "x the floor",
        div(cliSamples, floorSamples));
    row("probe, samples only", cliSamples, "soxi", soxi, "x soxi's time (goal <= 1)", div(cliSamples, soxi));
    if (!identify)
        std::printf("\nidentify (ImageMagick) is not installed: its row is empty.\n");
    if (!soxi)
        std::printf("\nsoxi (SoX) is not installed: its row is empty.\n");
    return 0;
}
