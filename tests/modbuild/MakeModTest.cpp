#include "modbuild/MakeMod.h"

#include "BuildFixture.h"

#include <QFile>
#include <sys/stat.h>

using namespace fixture;

namespace {

// A stand-in ModPacker: records its arguments, its working folder and what the
// folder it was given holds (file names and the mod name line), then exits 5.
QString MakeStandIn(TTestDir &dir, const QString &name = "packer/ModPacker")
{
    const QString log = dir.file("packer.log");
    const QString script = dir.createFile(name, QString("#!/bin/sh\n"
                                                        "{ for a in \"$@\"; do echo \"arg:$a\"; done\n"
                                                        "  echo \"cwd:$(pwd)\"\n"
                                                        "  LC_ALL=C ls \"$1\"\n"
                                                        "  cat \"$1/ModName.txt\"; } > '%1'\n"
                                                        "exit 5\n")
                                                    .arg(log)
                                                    .toUtf8());
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return script;
}

} // namespace

class MakeMod : public TBuildTest {
protected:
    void SetUp() override
    {
        settings.ModPackerPath = MakeStandIn(dir);
        settings.TempDir = dir.createDir("temp");
        assign(image(15), dir.createFile("src/led.bmp", BmpBytes(Gradient(109, 16))));
        assign(drum(1), dir.createFile("src/bd.wav", WavBytes(2, 8, 44100, {1, 2})));
        set.texts.ModName = "My Mod";
        messages.ClearMessages();
    }
    QStringList log() const
    {
        return QString::fromUtf8(TTestDir::readAll(dir.file("packer.log"))).split('\n', Qt::SkipEmptyParts);
    }
    QString working() const { return dir.file("temp/Mdw2Temp/"); }
};

TEST_F(MakeMod, PacksTheModFolderWaitsAndRemovesIt)
{
    EXPECT_EQ(::MakeMod(ctx, dialogs), 5);
    const QString modFolder = working() + "My Mod";
    // The folder path is the parameter string, unquoted: cut at its blank by the Windows rules.
    EXPECT_EQ(log(), (QStringList{"arg:" + working() + "My", "arg:Mod", "cwd:" + QDir::currentPath()}));
    EXPECT_FALSE(QFileInfo::exists(modFolder));
    EXPECT_TRUE(QFileInfo(working()).isDir()); // the working folder itself stays
    EXPECT_EQ(dialogs.textsShown, 1);
    EXPECT_GE(dialogs.repaints, 1);
}

TEST_F(MakeMod, ReBirthsModsFolderIsTheWorkingFolderWhenItExists)
{
    set.texts.ModName = "Plain";
    settings.ReBirthPath = dir.createFile("ReBirth/ReBirth.exe", "MZ");
    EXPECT_EQ(::MakeMod(ctx, dialogs), 5);
    EXPECT_EQ(log()[1], "cwd:" + QDir::currentPath()); // no "mods" folder yet

    const QString mods = dir.createDir("ReBirth/mods");
    EXPECT_EQ(::MakeMod(ctx, dialogs), 5);
    EXPECT_EQ(log(), (QStringList{"arg:" + working() + "Plain", "cwd:" + mods, "12015.jpg", "FTP.txt",
                                  "ModName.txt", "TR808BD.aif", "WWW.txt", "comments.txt", "Plain\r"}));
}

TEST_F(MakeMod, UnusableModNamesAreRefusedBeforeAnythingIsWritten)
{
    const QString sentinel = dir.createFile("temp/keep.txt", "the user's file");
    const QString inside = dir.createFile("temp/Mdw2Temp/keep.txt", "another file");
    for (const QString &name : {QString(""), QString("."), QString(".."), QString("../temp"), QString("a/b"),
                                QString("x") + QChar(0)}) {
        set.texts.ModName = name;
        boxes.shown.clear();
        EXPECT_EQ(::MakeMod(ctx, dialogs), -1);
        ASSERT_EQ(boxes.shown.size(), 1);
        EXPECT_TRUE(boxes.shown[0].startsWith("error: ")) << boxes.shown[0].toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.file("packer.log")));
    EXPECT_EQ(TTestDir::readAll(sentinel), "the user's file");
    EXPECT_EQ(TTestDir::readAll(inside), "another file");
    EXPECT_EQ(entries(dir.file("temp/Mdw2Temp")), QStringList{"keep.txt"});
}

TEST_F(MakeMod, AModFolderThatIsALinkIsNeitherFilledNorEmptied)
{
    const QString outside = dir.createDir("elsewhere");
    dir.createFile("elsewhere/precious.txt", "keep me");
    dir.createDir("temp/Mdw2Temp");
    ASSERT_TRUE(QFile::link(outside, working() + "My Mod"));
    EXPECT_EQ(::MakeMod(ctx, dialogs), -1);
    EXPECT_EQ(entries(outside), QStringList{"precious.txt"});
    EXPECT_FALSE(QFile::exists(dir.file("packer.log")));
}

TEST_F(MakeMod, LeftoversOfAnInterruptedRunAreNotPacked)
{
    dir.createFile("temp/Mdw2Temp/My Mod/12058.jpg", "stale");
    ::MakeMod(ctx, dialogs);
    EXPECT_FALSE(log().contains("12058.jpg"));
}

TEST_F(MakeMod, MissingModPackerOpensTheSettingsAndEndsSilently)
{
    settings.ModPackerPath = dir.file("nowhere/ModPacker.exe");
    EXPECT_EQ(::MakeMod(ctx, dialogs), -1);
    EXPECT_EQ(dialogs.pathsShown, 1);
    EXPECT_EQ(dialogs.textsShown, 0);
    EXPECT_TRUE(boxes.shown.isEmpty());

    // Chosen in the settings dialog: Make! goes on.
    dialogs.onEditPaths = [&] { settings.ModPackerPath = MakeStandIn(dir, "chosen/ModPacker"); };
    EXPECT_EQ(::MakeMod(ctx, dialogs), 5);
}

TEST_F(MakeMod, CancelledTextsDialogWritesNothing)
{
    dialogs.textsOk = false;
    EXPECT_EQ(::MakeMod(ctx, dialogs), -1);
    EXPECT_FALSE(QFileInfo::exists(working() + "My Mod"));
    EXPECT_FALSE(QFile::exists(dir.file("packer.log")));
}

TEST_F(MakeMod, ModPackerThatCannotStartIsAnErrorAndTheFolderGoes)
{
    settings.ModPackerPath = dir.createFile("packer/ModPacker.exe", "MZ not native, and no wine");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.createDir("emptybin").toUtf8());
    const int result = ::MakeMod(ctx, dialogs);
    qputenv("PATH", path);
    EXPECT_EQ(result, -1);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].startsWith("error: Error running " + settings.ModPackerPath + ".\r\n"));
    EXPECT_TRUE(boxes.shown[0].contains("wine"));
    EXPECT_FALSE(QFileInfo::exists(working() + "My Mod"));
}

TEST_F(MakeMod, NoAssignmentIsSaidButModPackerStillRuns)
{
    set.DetachAll();
    set.texts.ModName = "Nothing";
    EXPECT_EQ(::MakeMod(ctx, dialogs), 5);
    EXPECT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].startsWith("info: You haven't made any assignments yet."));
    EXPECT_EQ(log().size(), 2); // argument and working folder; the folder was empty
}

TEST_F(MakeMod, AWorkingFolderThatFailsItsCheckIsNotUsed)
{
    const QString outside = dir.createDir("elsewhere");
    dir.createFile("elsewhere/My Mod", "keep me");
    ASSERT_TRUE(QFile::link(outside, dir.file("temp/Mdw2Temp")));
    EXPECT_EQ(::MakeMod(ctx, dialogs), -1);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0], "error: The folder \"" + dir.file("temp/Mdw2Temp") +
                                  "\" is a symbolic link, so Modwright uses nothing inside it.");
    EXPECT_EQ(entries(outside), QStringList{"My Mod"});
    EXPECT_EQ(TTestDir::readAll(dir.file("elsewhere/My Mod")), "keep me");
    EXPECT_FALSE(QFile::exists(dir.file("packer.log")));

    QFile::remove(dir.file("temp/Mdw2Temp"));
    const QString shared = dir.createDir("temp/Mdw2Temp");
    ::chmod(QFile::encodeName(shared).constData(), 0777);
    boxes.shown.clear();
    EXPECT_EQ(::MakeMod(ctx, dialogs), -1);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].contains("can be written by group or others (mode 0777)"));
    EXPECT_TRUE(entries(shared).isEmpty());
}

TEST_F(MakeMod, AModFolderOthersMayWriteIsNotUsed)
{
    const QString planted = dir.createFile("temp/Mdw2Temp/My Mod/12015.jpg", "planted");
    ASSERT_EQ(::chmod(QFile::encodeName(working() + "My Mod").constData(), 0777), 0);
    EXPECT_EQ(::MakeMod(ctx, dialogs), -1);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0], "error: The folder \"" + working() +
                                  "My Mod\" can be written by group or others (mode 0777), so Modwright uses "
                                  "nothing inside it.");
    EXPECT_EQ(TTestDir::readAll(planted), "planted");
    EXPECT_FALSE(QFile::exists(dir.file("packer.log")));
}

TEST_F(MakeMod, ADefaultWorkingFolderIsPrivate)
{
    settings.TempDir.clear();
    const QString runtime = dir.createDir("run");
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    EXPECT_EQ(::MakeMod(ctx, dialogs), 5);
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(log()[0], "arg:" + runtime + "/modwright/Mdw2Temp/My");
    EXPECT_EQ(QFileInfo(runtime + "/modwright/Mdw2Temp").permissions() & 0x0077, 0);
}

TEST_F(MakeMod, ALinkPlantedInPlaceOfTheModFolderWhilePackingIsNeverFollowed)
{
    const QString outside = dir.createDir("elsewhere");
    dir.createFile("elsewhere/precious.txt", "keep me");
    // The stand-in moves the mod folder away and leaves a link in its place.
    const QString packer = dir.createFile("swap/ModPacker", QString("#!/bin/sh\n"
                                                                    "mv \"$1\" \"$1.moved\"\n"
                                                                    "ln -s '%1' \"$1\"\n"
                                                                    "exit 0\n")
                                                                .arg(outside)
                                                                .toUtf8());
    QFile::setPermissions(packer, QFile::ReadOwner | QFile::ExeOwner);
    settings.ModPackerPath = packer;
    set.texts.ModName = "Mod";
    EXPECT_EQ(::MakeMod(ctx, dialogs), -1);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0], "error: The mod folder \"" + working() +
                                  "Mod\" was replaced by a symbolic link while ModPacker ran. The link was "
                                  "removed; nothing it points to was touched.");
    EXPECT_EQ(entries(outside), QStringList{"precious.txt"});
    EXPECT_EQ(TTestDir::readAll(dir.file("elsewhere/precious.txt")), "keep me");
    // Our own folder was emptied through its handle wherever it went.
    EXPECT_TRUE(entries(working() + "Mod.moved").isEmpty());
    EXPECT_FALSE(QFileInfo(working() + "Mod").isSymLink());
}
