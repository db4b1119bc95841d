#include "cli/CliBuild.h"
#include "cli/CliCommands.h"
#include "cli/CliMessageBoxes.h"
#include "modbuild/ExternalPrograms.h"
#include "modbuild/MakeMod.h"
#include "modbuild/WaitThread.h"

#include <QFileInfo>
#include <ostream>

namespace {

// Make! without windows: the texts come from the assignment as they are, and
// the wait for ModPacker is the waiting box's loop without the box.
class TCliDialogs : public TBuildDialogs {
public:
    bool EditModTexts() override { return true; }
    void EditProgramPaths() override {}
    bool AskToSave() override { return true; }
    uint32_t WaitForModPacker(TProcess &process) override
    {
        // MakeMod holds the handle for the whole wait; share it without owning it.
        return WaitForProcessEnd(std::shared_ptr<TProcess>(&process, [](TProcess *) {}));
    }
};

} // namespace

// make ASSIGNMENT_FILE NAME [--modpacker PATH] [--rebirth PATH] [--temp DIR]: lays out
// the mod folder DIR/Mdw2Temp/<mod name> (DIR by default the user's private base,
// $XDG_RUNTIME_DIR/modwright or the cache folder's), runs ModPacker on it, waits
// for it, removes the folder, and exits with ModPacker's exit code (1 when it did
// not run, or when Mdw2Temp or the mod folder failed its check: a link, another
// user's folder, one writable by group or others). ModPacker and ReBirth not
// given are the ones `programs` finds.
int CmdMake(TCliContext &ctx)
{
    const TCliOptions options = ParseOptions(ctx.args, {"--modpacker", "--rebirth", "--temp"});
    if (options.words.size() != 2)
        throw ECliUsage(options.words.size() < 2 ? "missing arguments" : "too many arguments");
    TCliMessageBoxes boxes(ctx.err);
    TCliBuild build;
    if (options.has("--modpacker")) {
        build.settings.ModPackerPath = AbsolutePathArg(options.values.at("--modpacker"));
    } else {
        const TProgramLookup found = LookupModPacker();
        if (found.path.isEmpty()) {
            ctx.err << "ModPacker was not found: " << found.from.toStdString()
                    << ". Name it with --modpacker.\n";
            return cliFailed;
        }
        build.settings.ModPackerPath = found.path;
    }
    if (options.has("--rebirth"))
        build.settings.ReBirthPath = AbsolutePathArg(options.values.at("--rebirth"));
    else
        build.settings.ReBirthPath = LookupReBirth().path;
    if (options.has("--temp"))
        build.settings.TempDir = AbsolutePathArg(options.values.at("--temp"));
    if (!QFileInfo(build.settings.ModPackerPath).isFile()) {
        ctx.err << "ModPacker was not found at " << build.settings.ModPackerPath.toStdString() << ".\n";
        return cliFailed;
    }
    if (!build.Load(options.words[0], options.words[1], ctx.err))
        return cliFailed;
    build.PrintMessages(ctx.err);
    build.messages.ClearMessages();

    TCliDialogs dialogs;
    const int code = MakeMod(build.ctx, dialogs);
    // What Make! collected for the messages window (components it could not convert).
    build.PrintMessages(ctx.err);
    return code < 0 ? cliFailed : code;
}
