#include "cli/CliCommands.h"
#include "modbuild/ExternalPrograms.h"
#include "platform/Process.h"
#include "platform/WinePrefix.h"
#include "probe/Json.h"

#include <ostream>

// programs: where Make! and "Run ReBirth" would find their programs, as one JSON line
// {"modpacker", "rebirth", "wine", "prefix", "modpackerFrom", "rebirthFrom"}: the paths (null
// when not found), and for each program the place it was found in (our registry store or the
// Wine prefix, with the key) or why it was not found. Exit code 0 whatever was found.
int CmdPrograms(TCliContext &ctx)
{
    RequireArgs(ctx, 0, 0);
    const TProgramLookup modPacker = LookupModPacker();
    const TProgramLookup reBirth = LookupReBirth();
    const std::optional<TWinePrefix> prefix = TWinePrefix::Locate();
    ctx.out << TJsonLine()
                   .addOrNull("modpacker", modPacker.path.toStdString())
                   .addOrNull("rebirth", reBirth.path.toStdString())
                   .addOrNull("wine", FindOnPath("wine"))
                   .addOrNull("prefix", prefix ? prefix->Folder() : std::string())
                   .add("modpackerFrom", modPacker.from.toStdString())
                   .add("rebirthFrom", reBirth.from.toStdString())
                   .str()
            << "\n";
    return cliOk;
}
