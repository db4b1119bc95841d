// The file managers' menu entries that registration writes into the user's
// data folder.

#include "ShellExtFixture.h"
#include "platform/ShellMenuFiles.h"
#include "platform/ShellRegistration.h"

namespace {

class TMenuFilesTest : public TShellExtTest {
protected:
    void SetUp() override
    {
        TShellExtTest::SetUp();
        bridge_ = MakeRecorder("my apps/bin/modwright-shellmenu");
        SetConfig(ValModwrightPath, Path("my apps/bin/modwright"));
    }
    std::string ImageMenu() const { return Path("data/kio/servicemenus/modwright-edit-image.desktop"); }
    std::string DrumMenu() const { return Path("data/kio/servicemenus/modwright-edit-drum.desktop"); }
    std::string Script() const { return Path("data/nautilus/scripts/Edit with (Modwright)"); }
    static std::string Text(const std::string &path)
    {
        return TTestDir::readAll(QString::fromStdString(path)).toStdString();
    }
    static bool Exists(const std::string &path)
    {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0;
    }
    static std::string LinkTarget(const std::string &path)
    {
        char target[4096];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
        return n > 0 ? std::string(target, std::size_t(n)) : std::string();
    }

    std::string bridge_;
};

} // namespace

TEST_F(TMenuFilesTest, ServiceMenusCarryTheEditorsTextAndRunTheBridge)
{
    SetImageEditor(MakeRecorder("tools/gimp"), "GIMP");
    InstallShellMenus(bridge_);

    const std::string image = Text(ImageMenu());
    EXPECT_NE(image.find("MimeType=image/bmp;image/jpeg;\n"), std::string::npos);
    EXPECT_NE(image.find("X-KDE-RequiredNumberOfUrls=1\n"), std::string::npos);
    EXPECT_NE(image.find("Name=Edit with GIMP\n"), std::string::npos) << image;
    EXPECT_NE(image.find("Exec=\"" + bridge_ + "\" %F\n"), std::string::npos) << image;
    EXPECT_NE(image.find(std::string("X-Modwright-Handler=") + ShellExtClassId + "\n"), std::string::npos);
    const std::string drum = Text(DrumMenu());
    EXPECT_NE(drum.find("Name=Edit with...\n"), std::string::npos) << drum;
    EXPECT_NE(drum.find("audio/x-wav"), std::string::npos);

    struct stat st {};
    ASSERT_EQ(::stat(ImageMenu().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u) << "KDE ignores user service menus that are not executable";
    EXPECT_EQ(LinkTarget(Script()), bridge_);
}

TEST_F(TMenuFilesTest, TextsFollowTheEditorChoiceAtTheNextRegistration)
{
    InstallShellMenus(bridge_);
    EXPECT_NE(Text(ImageMenu()).find("Name=Edit with...\n"), std::string::npos);
    SetImageEditor(MakeRecorder("tools/paint"), "");
    InstallShellMenus(bridge_);
    EXPECT_NE(Text(ImageMenu()).find("Name=Edit with paint\n"), std::string::npos);

    // Neither an editor nor the main program: nothing to offer, the entries go.
    SetImageEditor("", "", "0");
    SetConfig(ValModwrightPath, "");
    InstallShellMenus(bridge_);
    EXPECT_FALSE(Exists(ImageMenu()));
    EXPECT_FALSE(Exists(DrumMenu()));
}

TEST_F(TMenuFilesTest, OthersFilesOfTheSameNameAreNeverTouched)
{
    const std::string theirs = "[Desktop Entry]\nType=Service\nName=Mine\n";
    dir_.createFile("data/kio/servicemenus/modwright-edit-image.desktop", QByteArray::fromStdString(theirs));
    MakeRecorder("data/nautilus/scripts/Edit with (Modwright)");
    InstallShellMenus(bridge_);
    EXPECT_EQ(Text(ImageMenu()), theirs);
    EXPECT_TRUE(Exists(DrumMenu()));
    EXPECT_EQ(LinkTarget(Script()), "");

    RemoveShellMenus();
    EXPECT_EQ(Text(ImageMenu()), theirs);
    EXPECT_FALSE(Exists(DrumMenu()));
    EXPECT_TRUE(Exists(Script()));
}

TEST_F(TMenuFilesTest, RegistrationFindsTheBridgeBesideTheProgramAndRemovalCleansUp)
{
    const std::string program = Path("my apps/bin/modwright");
    RegisterShellExtension(true, program);
    EXPECT_TRUE(Exists(ImageMenu()));
    EXPECT_TRUE(Exists(DrumMenu()));
    EXPECT_EQ(LinkTarget(Script()), bridge_);
    const std::string once = Text(ImageMenu());
    RegisterShellExtension(true, program);
    EXPECT_EQ(Text(ImageMenu()), once);

    RegisterShellExtension(false, program);
    EXPECT_FALSE(Exists(ImageMenu()));
    EXPECT_FALSE(Exists(DrumMenu()));
    EXPECT_FALSE(Exists(Script()));
    EXPECT_TRUE(Exists(Path("data/kio/servicemenus"))) << "folders may hold others' files";

    // A program without the bridge beside it gets no entries, and loses stale ones.
    RegisterShellExtension(true, program);
    QFile::remove(QString::fromStdString(bridge_));
    RegisterShellExtension(true, program);
    EXPECT_FALSE(Exists(ImageMenu()));
    EXPECT_FALSE(Exists(Script()));
}

TEST_F(TMenuFilesTest, NothingIsWrittenWithoutAnAbsoluteDataFolder)
{
    Override("XDG_DATA_HOME", "relative/data");
    Override("HOME", "relative-home");
    EXPECT_EQ(UserDataFolder(), "");
    InstallShellMenus(bridge_);
    EXPECT_FALSE(Exists(Path("data")));
    EXPECT_FALSE(QDir("relative").exists());
}

TEST(DesktopEntryText, ExecArgumentsAndNamesAreEscaped)
{
    EXPECT_EQ(DesktopExecArgument("/usr/bin/modwright-shellmenu"), "\"/usr/bin/modwright-shellmenu\"");
    // Quoting first ("\"", "`", "$", "\" get a backslash), then "%" doubled,
    // then the string value's own escape of every backslash.
    EXPECT_EQ(DesktopExecArgument("/a \"b\"/$x`y`/100%/c\\d"),
              "\"/a \\\\\"b\\\\\"/\\\\$x\\\\`y\\\\`/100%%/c\\\\\\\\d\"");
    EXPECT_EQ(DesktopStringValue("Edit with A\\B\nC"), "Edit with A\\\\B\\nC");
    EXPECT_EQ(DesktopStringValue(" lead"), "\\slead");
}
