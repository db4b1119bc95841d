// modwright-cli: the command-line front. "probe FILE..." is answered here, by the Qt-free
// probes, so that a script probing many files pays for a small program's start and not for
// loading Qt. Every other command line goes unchanged (same arguments, streams and
// environment) to the full program, lib/modwright/modwright-cli-qt beside the front's bin.
#include "cli/Cli.h"
#include "probe/ProbeCommand.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <unistd.h>

namespace {

void writeOut(std::string_view block)
{
    while (!block.empty()) {
        const ssize_t n = ::write(STDOUT_FILENO, block.data(), block.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // a closed or full output is not ours to report, as with any stream
        block.remove_prefix(size_t(n));
    }
}

void sayAndFail(const std::string &message)
{
    const std::string line = "modwright-cli: " + message + "\n";
    (void)!::write(STDERR_FILENO, line.data(), line.size());
}

// The full program's path: <front's folder>/../lib/modwright/modwright-cli-qt, the front's
// folder taken from /proc/self/exe (symbolic links already resolved there).
bool fullProgramPath(std::string &path)
{
    char buffer[4096];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || size_t(length) >= sizeof buffer) {
        sayAndFail(std::string("Cannot find this program's folder. ") +
                   (length < 0 ? std::strerror(errno) : "The path is too long."));
        return false;
    }
    std::string folder(buffer, size_t(length));
    folder.erase(folder.rfind('/')); // the front's folder (bin)
    const size_t parent = folder.rfind('/');
    folder.erase(parent == std::string::npos ? 0 : parent); // its parent, "" for the root
    path = folder + "/lib/modwright/modwright-cli-qt";
    return true;
}

bool isProbe(int argc, char **argv)
{
    // "probe" alone and "probe --help" print the usage, which the full program owns.
    return argc >= 3 && std::strcmp(argv[1], "probe") == 0 && std::strcmp(argv[2], "--help") != 0 &&
           std::strcmp(argv[2], "-h") != 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (isProbe(argc, argv)) {
        try {
            return ProbeFiles({argv + 2, size_t(argc - 2)}, writeOut) ? cliOk : cliFailed;
        } catch (const std::exception &e) {
            sayAndFail(e.what());
            return cliFailed;
        }
    }
    std::string program;
    if (!fullProgramPath(program))
        return cliFailed;
    ::execv(program.c_str(), argv);
    sayAndFail("Cannot start \"" + program + "\". " + std::strerror(errno));
    return cliFailed;
}
