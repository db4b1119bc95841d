// modwright-shellmenu end to end: the registration as the main program writes
// it, the built library loaded by the bridge, and the programs it starts.

#include "ShellExtFixture.h"
#include "platform/ShellRegistration.h"

namespace {

const std::string Bridge = std::string(MODWRIGHT_BIN_DIR) + "/modwright-shellmenu";

class TBridgeTest : public TShellExtTest {
protected:
    void SetUp() override
    {
        TShellExtTest::SetUp();
        // The handler keys name the library by its bare name, which the bridge
        // finds in ../lib beside itself.
        RegisterShellClasses(true, std::string(MODWRIGHT_BIN_DIR) + "/modwright");
        mainProgram_ = MakeRecorder("bin/modwright");
        SetConfig(ValModwrightPath, mainProgram_);
    }
    std::string mainProgram_;
};

} // namespace

TEST_F(TBridgeTest, ListsTheCommandOfTheRegisteredHandler)
{
    const TRunResult result = RunProgram(Bridge, {"--list", MakeFile("pic.jpg")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, "Edit with...\tmdwfr2edit\tChoose a program to edit this file.\n");

    SetImageEditor(MakeRecorder("tools/gimp"), "GIMP");
    EXPECT_EQ(RunProgram(Bridge, {"--list", MakeFile("PIC.BMP")}).output,
              "Edit with GIMP\tmdwfr2edit\tEdit the selected file with GIMP.\n");
}

TEST_F(TBridgeTest, WithoutAnEditorTheMainProgramIsAskedForOne)
{
    const std::string file = MakeFile("drums/Kick \"808\"; $(touch x) & `id`.wav");
    EXPECT_EQ(RunProgram(Bridge, {file}).exitCode, 0);
    const auto args = RecordedArgs(mainProgram_);
    ASSERT_TRUE(args);
    EXPECT_EQ(*args, (std::vector<std::string>{"/askdrumeditor", file}));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("drums/x"))));
}

TEST_F(TBridgeTest, TheChosenEditorGetsTheFileUnchanged)
{
    const std::string editor = MakeRecorder("tools/my editor's");
    SetImageEditor(editor, "Mine");
    const std::string file = MakeFile("pics/a'b\"c;d$(e)f|g*h.jpg");
    EXPECT_EQ(RunProgram(Bridge, {"--", file}).exitCode, 0);
    const auto args = RecordedArgs(editor);
    ASSERT_TRUE(args);
    EXPECT_EQ(*args, std::vector<std::string>{file});
    EXPECT_TRUE(NotStarted(mainProgram_));
}

TEST_F(TBridgeTest, OffersNothingWhereTheHandlerDoesNot)
{
    EXPECT_EQ(RunProgram(Bridge, {MakeFile("a.wav"), MakeFile("b.wav")}).exitCode, 1);
    EXPECT_EQ(RunProgram(Bridge, {MakeFile("a.jpeg")}).exitCode, 1);
    EXPECT_EQ(RunProgram(Bridge, {Path("missing.jpg")}).exitCode, 1);
    EXPECT_EQ(RunProgram(Bridge, {}).exitCode, 1);
    EXPECT_EQ(RunProgram(Bridge, {"--list"}).exitCode, 2);
    EXPECT_EQ(RunProgram(Bridge, {"--kind", "video", MakeFile("d.jpg")}).exitCode, 2);
    EXPECT_TRUE(NotStarted(mainProgram_));

    // Unregistered, the bridge finds no handler at all.
    RegisterShellClasses(false, std::string(MODWRIGHT_BIN_DIR) + "/modwright");
    EXPECT_EQ(RunProgram(Bridge, {MakeFile("c.jpg")}).exitCode, 1);
}

TEST_F(TBridgeTest, A_BrokenRegistrationIsSurvived)
{
    TRegistry reg(TRegRoot::ClassesRoot);
    reg.OpenKey(std::string("\\CLSID\\") + ShellExtClassId + "\\InProcServer32", true);
    reg.WriteString("", MakeFile("lib/broken.so"));
    const TRunResult result = RunProgram(Bridge, {MakeFile("pic.jpg")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(NotStarted(mainProgram_));
}

namespace {

// The bridge run from a desktop session: a notifier on the PATH records what the
// user would see.
class TBridgeNoticeTest : public TBridgeTest {
protected:
    void SetUp() override
    {
        TBridgeTest::SetUp();
        notifier_ = MakeRecorder("session/notify-send");
        Override("PATH", Path("session") + ":/usr/bin:/bin");
        Override("DISPLAY", ":99");
    }
    // The notification's text (its last argument), or "" when none was shown.
    std::string Notice()
    {
        const auto args = RecordedArgs(notifier_);
        QFile::remove(QString::fromStdString(notifier_ + ".args"));
        return args && !args->empty() ? args->back() : std::string();
    }
    std::string notifier_;
};

} // namespace

TEST_F(TBridgeNoticeTest, TheUserIsToldWhyNothingHappened)
{
    EXPECT_EQ(RunProgram(Bridge, {"--", MakeFile("a.wav"), MakeFile("b.wav")}).exitCode, 1);
    EXPECT_EQ(Notice(), "Modwright's \"Edit with\" works on one file at a time; 2 were selected.");
    EXPECT_EQ(RunProgram(Bridge, {"--", MakeFile("pic.jpeg")}).exitCode, 1);
    EXPECT_EQ(Notice(),
              "Modwright edits .jpg and .bmp images and .wav and .aif samples; pic.jpeg is neither.");
    EXPECT_EQ(RunProgram(Bridge, {"--kind", "image", "--", MakeFile("kick.WAV")}).exitCode, 1);
    EXPECT_EQ(Notice(),
              "This entry is for .jpg and .bmp images; kick.WAV is one of the .wav and .aif samples, "
              "which have their own entry.");
    EXPECT_EQ(RunProgram(Bridge, {"--", "sftp://host/pics/a.jpg"}).exitCode, 1);
    EXPECT_EQ(
        Notice(),
        "Modwright's \"Edit with\" works on files on this computer only; sftp://host/pics/a.jpg is not one.");
    EXPECT_EQ(RunProgram(Bridge, {"--"}).exitCode, 1) << "a script run on a remote folder gets no names";
    EXPECT_NE(Notice().find("none was handed over"), std::string::npos);
    EXPECT_TRUE(NotStarted(mainProgram_));

    // Nothing registered for the type: the handler is not there yet.
    RegisterShellClasses(false, std::string(MODWRIGHT_BIN_DIR) + "/modwright");
    EXPECT_EQ(RunProgram(Bridge, {MakeFile("c.jpg")}).exitCode, 1);
    EXPECT_NE(Notice().find("start it once"), std::string::npos);
    // --list is for scripts: its reasons go to stderr only.
    EXPECT_EQ(RunProgram(Bridge, {"--list", MakeFile("c.bmp")}).exitCode, 1);
    EXPECT_EQ(Notice(), "");
}

TEST_F(TBridgeTest, FileUrisAndTheConfigurationFolderOfTheEntry)
{
    const std::string editor = MakeRecorder("tools/editor");
    SetImageEditor(editor, "Mine");
    const std::string file = MakeFile("my pics/a%b #1.BMP");
    std::string uri = "file://";
    for (char c : file)
        uri += c == ' '   ? std::string("%20")
               : c == '%' ? std::string("%25")
               : c == '#' ? std::string("%23")
                          : std::string(1, c);
    // The entry names the folder; the environment the file manager runs it in names another.
    const std::string config = Path("config");
    Override("MODWRIGHT_CONFIG_DIR", Path("elsewhere"));
    EXPECT_EQ(RunProgram(Bridge, {"--kind", "image", "--config-dir", config, "--", uri}).exitCode, 0);
    const auto args = RecordedArgs(editor);
    ASSERT_TRUE(args);
    EXPECT_EQ(*args, std::vector<std::string>{file});
}

TEST_F(TBridgeNoticeTest, WithoutANotifierASmallDialogSaysIt)
{
    QFile::remove(QString::fromStdString(notifier_));
    const std::string zenity = MakeRecorder("session/zenity");
    EXPECT_EQ(RunProgram(Bridge, {"--", MakeFile("pic.dib")}).exitCode, 1);
    const auto args = RecordedArgs(zenity);
    ASSERT_TRUE(args);
    EXPECT_EQ(*args,
              (std::vector<std::string>{"--info", "--title", "Edit with", "--text",
                                        "Modwright edits .jpg and .bmp images and .wav and .aif samples; "
                                        "pic.dib is neither."}));
}
