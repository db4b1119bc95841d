#include "cli/CliCommands.h"
#include "common/PathUtils.h"
#include "platform/Registry.h"
#include "platform/ShellEditor.h"
#include "platform/ShellExtNames.h"
#include "platform/ShellMenuFiles.h"
#include "platform/ShellRegistration.h"

#include <QFile>
#include <QFileInfo>
#include <ostream>

// shell-menus install|remove|list: the file managers' "Edit with" entries for the
// programs beside this one, as the main program writes them at every start.
// install also registers the handler and, when the main program never ran yet,
// names it, so that the entries offer "Edit with..." at once. Each of our entries
// is listed as "<manager>\t<path>" (Thunar's as "thunar\t<uca.xml>\t<action id>");
// folders and files left untouched are said on stderr and give exit 1.

namespace {

void ListEntries(TCliContext &ctx)
{
    for (const TShellMenuEntry &entry : ListShellMenus()) {
        ctx.out << entry.manager << "\t" << entry.path;
        if (!entry.actionId.empty())
            ctx.out << "\t" << entry.actionId;
        ctx.out << "\n";
    }
}

int Report(TCliContext &ctx, const std::vector<std::string> &problems)
{
    for (const std::string &problem : problems)
        ctx.err << problem << "\n";
    ListEntries(ctx);
    return problems.empty() ? cliOk : cliFailed;
}

void NameMainProgram(const std::string &mainProgram)
{
    TRegistry reg(TRegRoot::CurrentUser);
    const std::string key =
        std::string("\\Software\\") + ConfigCompany + "\\" + ConfigProduct + "\\" + ConfigSection;
    reg.OpenKey(key, true);
    if (reg.GetDataType(ValModwrightPath) == TRegDataType::rdUnknown ||
        reg.ReadString(ValModwrightPath).empty())
        reg.WriteString(ValModwrightPath, mainProgram);
}

} // namespace

int CmdShellMenus(TCliContext &ctx)
{
    RequireArgs(ctx, 1, 1);
    const std::string &action = ctx.args[0];
    const QString folder = QFileInfo(ProgramPath()).absolutePath();
    const std::string mainProgram = QFile::encodeName(folder + "/modwright").toStdString();
    if (action == "list") {
        ListEntries(ctx);
        return cliOk;
    }
    if (action == "remove")
        return Report(ctx, RemoveShellMenus());
    if (action != "install")
        throw ECliUsage("unknown action \"" + action + "\"");
    if (IsExistingFile(mainProgram))
        NameMainProgram(mainProgram);
    RegisterShellClasses(true, mainProgram);
    return Report(ctx, InstallShellMenus(MenuProgramBeside(mainProgram)));
}
