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
    EXPECT_EQ(RunProgram(Bridge, {}).exitCode, 2);
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
