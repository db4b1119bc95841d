// modwright-cli shell-menus: the entries for the programs beside the CLI, in
// scratch configuration and data folders.

#include "CliTestUtil.h"
#include "platform/Registry.h"
#include "support/EnvGuard.h"
#include "support/TestDir.h"

#include <QFile>
#include <algorithm>
#include <gtest/gtest.h>

TEST(ShellMenusCommand, InstallsListsAndRemovesOnlyOurEntries)
{
    TTestDir dir;
    TEnvGuard config("MODWRIGHT_CONFIG_DIR", dir.file("config"));
    TEnvGuard dataHome("XDG_DATA_HOME", dir.file("data"));
    TEnvGuard configHome("XDG_CONFIG_HOME", dir.file("xdg"));
    const QByteArray theirs = "[Desktop Entry]\nType=Service\nName=Theirs\n";
    const QString foreign =
        dir.createFile("data/kservices5/ServiceMenus/modwright-edit-drum.desktop", theirs);

    const TCliRun installed = RunCliWith({"shell-menus", "install"});
    ASSERT_EQ(installed.exitCode, 0) << installed.err;
    const std::vector<std::string> lines = installed.outLines();
    const std::string data = dir.file("data").toStdString(),
                      uca = dir.file("xdg/Thunar/uca.xml").toStdString();
    for (const std::string &expected :
         {"kde\t" + data + "/kio/servicemenus/modwright-edit-image.desktop",
          "kde-old\t" + data + "/kservices5/ServiceMenus/modwright-edit-image.desktop",
          "nemo\t" + data + "/nemo/actions/modwright-edit-drum.nemo_action",
          "pcmanfm\t" + data + "/file-manager/actions/modwright-edit-image.desktop",
          "nautilus\t" + data + "/nautilus/scripts/Edit with...", "thunar\t" + uca + "\tmodwright-edit-drum"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << expected << "\n"
                                                                                << installed.out;
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "kde-old\t" + foreign.toStdString()), lines.end());

    // The main program beside the CLI is named, so the entries offer "Edit with..." at once.
    TRegistry reg(TRegRoot::CurrentUser);
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Talwen\\Modwright for ReBirth 2\\Current"));
    EXPECT_EQ(reg.ReadString("ModwrightPath"), std::string(MODWRIGHT_BIN_DIR) + "/modwright");

    EXPECT_EQ(RunCliWith({"shell-menus", "list"}).out, installed.out);
    const TCliRun removed = RunCliWith({"shell-menus", "remove"});
    EXPECT_EQ(removed.exitCode, 0) << removed.err;
    EXPECT_EQ(removed.out, "");
    EXPECT_EQ(RunCliWith({"shell-menus", "list"}).out, "");
    EXPECT_EQ(TTestDir::readAll(foreign), theirs);
    EXPECT_EQ(RunCliWith({"shell-menus", "refresh"}).exitCode, 2);
}

TEST(ShellMenusCommand, AnUnusableFileIsReportedAndFailsTheCommand)
{
    TTestDir dir;
    TEnvGuard config("MODWRIGHT_CONFIG_DIR", dir.file("config"));
    TEnvGuard dataHome("XDG_DATA_HOME", dir.file("data"));
    TEnvGuard configHome("XDG_CONFIG_HOME", dir.file("xdg"));
    const QString uca = dir.createFile("xdg/Thunar/uca.xml", "<actions><action>");
    const TCliRun run = RunCliWith({"shell-menus", "install"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, uca.toStdString() +
                           " is not a well-formed actions file (line 1: Premature end of document.); "
                           "Modwright left it untouched.\n");
    EXPECT_EQ(TTestDir::readAll(uca), "<actions><action>");
    EXPECT_NE(run.out.find("kde\t"), std::string::npos) << "the other managers' entries are written";
}
