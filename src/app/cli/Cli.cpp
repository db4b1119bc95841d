#include "cli/Cli.h"

#include <charconv>
#include <ostream>

namespace {

void PrintHelp(std::ostream &out)
{
    out << "Usage: modwright-cli COMMAND [ARGUMENTS]\n\n"
           "Drives Modwright's logic without windows. Results go to standard output,\n"
           "one JSON object or text line each; messages go to standard error.\n"
           "Exit codes: 0 success, 1 the operation failed, 2 wrong command line.\n\n"
           "Commands:\n";
    for (const TCliCommand &c : CliCommands()) {
        std::string line = std::string("  ") + c.name + " " + c.usage;
        out << line << "\n      " << c.summary << "\n";
    }
}

} // namespace

void RequireArgs(const TCliContext &ctx, size_t min, size_t max)
{
    if (ctx.args.size() < min)
        throw ECliUsage("missing arguments");
    if (ctx.args.size() > max)
        throw ECliUsage("too many arguments");
}

int ParseIntArg(const std::string &text, const char *what)
{
    int value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size())
        throw ECliUsage(std::string(what) + " must be a whole number: " + text);
    return value;
}

int RunCli(const std::vector<std::string> &argv, std::ostream &out, std::ostream &err)
{
    if (argv.size() < 2 || argv[1] == "--help" || argv[1] == "-h" || argv[1] == "help") {
        PrintHelp(argv.size() < 2 ? err : out);
        return argv.size() < 2 ? cliUsage : cliOk;
    }
    const std::string &name = argv[1];
    for (const TCliCommand &c : CliCommands()) {
        if (name != c.name)
            continue;
        TCliContext ctx{std::vector<std::string>(argv.begin() + 2, argv.end()), out, err};
        if (!ctx.args.empty() && (ctx.args[0] == "--help" || ctx.args[0] == "-h")) {
            out << "Usage: modwright-cli " << c.name << " " << c.usage << "\n" << c.summary << "\n";
            return cliOk;
        }
        try {
            return c.run(ctx);
        } catch (const ECliUsage &e) {
            err << "modwright-cli " << c.name << ": " << e.what() << "\n"
                << "Usage: modwright-cli " << c.name << " " << c.usage << "\n";
            return cliUsage;
        } catch (const std::exception &e) {
            err << e.what() << "\n";
            return cliFailed;
        }
    }
    err << "modwright-cli: unknown command \"" << name << "\"; try --help\n";
    return cliUsage;
}
