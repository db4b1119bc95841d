// The "Edit with" handler: classifying the selection, reading the editor choice,
// the menu text, starting the editor or the main program, the command strings.

#include "shellext/ContextMenu.h"

#include "ShellExtFixture.h"
#include "shellext/ShellHost.h"

namespace {

// A selection whose data object refuses to give its data.
class TRefusingData : public TComObject, public IDataObject {
public:
    HRESULT QueryInterface(const IID &iid, void **object) override { return ObjQueryInterface(iid, object); }
    ULONG AddRef() override { return ObjAddRef(); }
    ULONG Release() override { return ObjRelease(); }
    HRESULT GetData(const FORMATETC *, STGMEDIUM *) override { return DV_E_FORMATETC; }
    HRESULT QueryGetData(const FORMATETC *) override { return DV_E_FORMATETC; }

protected:
    void *GetInterface(const IID &iid) override
    {
        return iid == IID_IUnknown || iid == IID_IDataObject ? static_cast<IDataObject *>(this) : nullptr;
    }
};

class TContextMenuTest : public TShellExtTest {
protected:
    void SetUp() override
    {
        TShellExtTest::SetUp();
        void *object = nullptr;
        ASSERT_EQ(ContextMenuFactory().CreateInstance(nullptr, IID_IContextMenu, &object), S_OK);
        menu_.reset(static_cast<IContextMenu *>(object));
        ASSERT_EQ(menu_->QueryInterface(IID_IShellExtInit, init_.OutVoid()), S_OK);
        mainProgram_ = MakeRecorder("bin/modwright");
    }
    void TearDown() override
    {
        init_.Reset();
        menu_.reset();
        EXPECT_EQ(ComCanUnloadNow(), S_OK) << "an object was leaked";
        TShellExtTest::TearDown();
    }

    HRESULT Initialize(const std::vector<std::string> &files)
    {
        TComPtr<IDataObject> data(CreateFileDropData(files));
        return init_->Initialize(nullptr, data.Get(), nullptr);
    }
    // The menu text offered, or "" when nothing was added.
    std::string MenuText()
    {
        TRecordingMenu menu;
        const HRESULT added = menu_->QueryContextMenu(&menu, 0, 100, 200, CMF_NORMAL);
        if (added == 0)
            return {};
        EXPECT_EQ(added, 1);
        return menu.items.at(0).text;
    }
    HRESULT Invoke(UINT offset, TWindow *owner = nullptr)
    {
        CMINVOKECOMMANDINFO info;
        info.lpVerb = MakeIntVerb(offset);
        info.hwnd = owner;
        return menu_->InvokeCommand(&info);
    }
    std::string CommandString(UINT kind, UINT size = 260, std::uintptr_t offset = 0, HRESULT *hr = nullptr)
    {
        std::string buffer(size + 1, '#');
        const HRESULT result = menu_->GetCommandString(offset, kind, nullptr, buffer.data(), size);
        if (hr)
            *hr = result;
        return result == S_OK ? std::string(buffer.c_str()) : "(failed)";
    }

    struct TRelease {
        void operator()(IContextMenu *m) const { m->Release(); }
    };
    std::unique_ptr<IContextMenu, TRelease> menu_;
    TComPtr<IShellExtInit> init_;
    std::string mainProgram_;
};

} // namespace

TEST_F(TContextMenuTest, InitializeNeedsADataObjectAndPassesItsError)
{
    EXPECT_EQ(init_->Initialize(nullptr, nullptr, nullptr), E_INVALIDARG);
    auto *refusing = new TRefusingData;
    refusing->ObjAddRef();
    EXPECT_EQ(init_->Initialize(nullptr, refusing, nullptr), DV_E_FORMATETC);
    refusing->Release();
    EXPECT_EQ(MenuText(), "");
}

TEST_F(TContextMenuTest, OffersTheCommandOnlyForOneExistingFileOfTheFourTypes)
{
    SetConfig(ValModwrightPath, mainProgram_);
    const std::string wav1 = MakeFile("a.wav"), wav2 = MakeFile("b.wav");
    EXPECT_EQ(Initialize({wav1, wav2}), E_FAIL);
    EXPECT_EQ(MenuText(), "");

    for (const char *name : {"PICTURE.JPG", "x.bmp", "d.Wav", "e.aif"}) {
        EXPECT_EQ(Initialize({MakeFile(name)}), S_OK) << name;
        EXPECT_EQ(MenuText(), "Edit with...") << name;
    }
    for (const char *name : {"p.jpeg", "s.aiff", "t.txt", "noextension", "jpg"}) {
        EXPECT_EQ(Initialize({MakeFile(name)}), E_FAIL) << name;
        EXPECT_EQ(MenuText(), "") << name;
    }
    EXPECT_EQ(Initialize({Path("missing.jpg")}), E_FAIL);
    dir_.createDir("folder.wav");
    EXPECT_EQ(Initialize({Path("folder.wav")}), E_FAIL);
    // A failed initialisation forgets the file of an earlier one.
    EXPECT_EQ(Invoke(0), E_FAIL);
}

TEST_F(TContextMenuTest, MenuTextFollowsTheEditorChoiceReadForEveryMenu)
{
    SetConfig(ValModwrightPath, mainProgram_);
    const std::string image = MakeFile("pic.bmp");
    const std::string paint = MakeRecorder("tools/PAINT.EXE");

    SetImageEditor(paint, "Paint", "1");
    ASSERT_EQ(Initialize({image}), S_OK);
    EXPECT_EQ(MenuText(), "Edit with Paint");
    EXPECT_EQ(CommandString(GCS_HELPTEXTA), "Edit the selected file with Paint.");

    SetImageEditor(paint, "", "1");
    ASSERT_EQ(Initialize({image}), S_OK);
    EXPECT_EQ(MenuText(), "Edit with PAINT.EXE");

    for (const char *inactive : {"0", "", "true", " 1"}) {
        SetImageEditor(paint, "Paint", inactive);
        ASSERT_EQ(Initialize({image}), S_OK);
        EXPECT_EQ(MenuText(), "Edit with...") << "active = \"" << inactive << "\"";
        EXPECT_EQ(CommandString(GCS_HELPTEXTA), "Choose a program to edit this file.");
    }

    // An editor whose program is gone counts as not chosen.
    SetImageEditor(Path("tools/gone"), "Gone");
    ASSERT_EQ(Initialize({image}), S_OK);
    EXPECT_EQ(MenuText(), "Edit with...");

    // The drum editor is not the image editor.
    SetImageEditor(paint, "Paint");
    ASSERT_EQ(Initialize({MakeFile("kick.wav")}), S_OK);
    EXPECT_EQ(MenuText(), "Edit with...");
}

TEST_F(TContextMenuTest, NothingIsAddedWithoutEditorAndMainProgram)
{
    ASSERT_EQ(Initialize({MakeFile("pic.jpg")}), S_OK);
    TRecordingMenu menu;
    EXPECT_EQ(menu_->QueryContextMenu(&menu, 0, 1, 10, CMF_NORMAL), 0);
    EXPECT_TRUE(menu.items.empty());
}

TEST_F(TContextMenuTest, ItemGoesAtThePositionWithTheFirstId)
{
    SetConfig(ValModwrightPath, mainProgram_);
    ASSERT_EQ(Initialize({MakeFile("pic.jpg")}), S_OK);
    TRecordingMenu menu;
    EXPECT_EQ(menu_->QueryContextMenu(&menu, 3, 42, 50, CMF_NORMAL), 1);
    ASSERT_EQ(menu.items.size(), 1u);
    EXPECT_EQ(menu.items[0].position, 3u);
    EXPECT_EQ(menu.items[0].id, 42u);
    // No id left in the range the shell gave: nothing is added.
    EXPECT_EQ(menu_->QueryContextMenu(&menu, 0, 51, 50, CMF_NORMAL), 0);
}

TEST_F(TContextMenuTest, A_PathValueOfAnotherTypeDisablesTheCommand)
{
    SetConfig(ValModwrightPath, mainProgram_);
    SetImageEditor(MakeRecorder("tools/paint"), "Paint");
    TRegistry reg(TRegRoot::CurrentUser);
    reg.OpenKey("\\Software\\Talwen\\Modwright for ReBirth 2\\Current", true);
    reg.WriteInteger(ValImgEditorPath, 7);
    EXPECT_EQ(Initialize({MakeFile("pic.jpg")}), E_FAIL);
    EXPECT_EQ(MenuText(), "");
    // The name value may be anything: it only loses the name.
    reg.WriteString(ValImgEditorPath, Path("tools/paint"));
    reg.WriteInteger(ValImgEditorName, 7);
    EXPECT_EQ(Initialize({MakeFile("pic.jpg")}), S_OK);
    EXPECT_EQ(MenuText(), "Edit with paint");
}

TEST_F(TContextMenuTest, InvokeStartsTheEditorWithTheFileAsOneArgument)
{
    const std::string editor = MakeRecorder("tools/audio editor");
    SetConfig(ValDrumEditorPath, editor);
    SetConfig(ValDrumEditorName, "Audio Editor");
    SetConfig(ValDrumEditorActive, "1");
    const std::string file = MakeFile("Snare \"2\"; $(touch pwned) `id` & x.wav");
    ASSERT_EQ(Initialize({file}), S_OK);
    EXPECT_EQ(MenuText(), "Edit with Audio Editor");
    TRecordingWindow window;
    EXPECT_EQ(Invoke(0, &window), S_OK);
    const auto args = RecordedArgs(editor);
    ASSERT_TRUE(args);
    EXPECT_EQ(*args, std::vector<std::string>{file});
    EXPECT_TRUE(window.messages.empty());
    EXPECT_FALSE(QFile::exists("pwned"));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("pwned"))));
}

TEST_F(TContextMenuTest, WithoutAnEditorInvokeAsksTheMainProgram)
{
    SetConfig(ValModwrightPath, mainProgram_);
    const std::string image = MakeFile("my pic's \"best\".JPG");
    ASSERT_EQ(Initialize({image}), S_OK);
    EXPECT_EQ(Invoke(0), S_OK);
    auto args = RecordedArgs(mainProgram_);
    ASSERT_TRUE(args);
    EXPECT_EQ(*args, (std::vector<std::string>{"/askimgeditor", image}));

    QFile::remove(QString::fromStdString(mainProgram_ + ".args"));
    const std::string drum = MakeFile("kick.aif");
    ASSERT_EQ(Initialize({drum}), S_OK);
    EXPECT_EQ(Invoke(0), S_OK);
    args = RecordedArgs(mainProgram_);
    ASSERT_TRUE(args);
    EXPECT_EQ(*args, (std::vector<std::string>{"/askdrumeditor", drum}));
}

TEST_F(TContextMenuTest, AnEditorThatCannotStartIsReportedOverTheOwnerWindow)
{
    SetConfig(ValModwrightPath, mainProgram_);
    // It exists, so it is offered, but it is not a program.
    const std::string notAProgram = dir_.createFile("tools/paint", "just text").toStdString();
    SetImageEditor(notAProgram, "Paint");
    ASSERT_EQ(Initialize({MakeFile("pic.bmp")}), S_OK);
    TRecordingWindow window;
    EXPECT_EQ(Invoke(0, &window), S_OK);
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].text, "Error executing Paint.");
    EXPECT_EQ(window.messages[0].caption, "Error");
    EXPECT_EQ(window.messages[0].type & MB_ICONERROR, MB_ICONERROR);
    EXPECT_TRUE(NotStarted(mainProgram_)) << "the main program is no fallback for a broken editor";
}

TEST_F(TContextMenuTest, InvokeAcceptsOnlyCommandOffsetZero)
{
    SetConfig(ValModwrightPath, mainProgram_);
    ASSERT_EQ(Initialize({MakeFile("pic.bmp")}), S_OK);
    CMINVOKECOMMANDINFO info;
    info.lpVerb = "mdwfr2edit";
    EXPECT_EQ(menu_->InvokeCommand(&info), E_FAIL);
    EXPECT_EQ(Invoke(1), E_INVALIDARG);
    EXPECT_EQ(menu_->InvokeCommand(nullptr), E_INVALIDARG);
    EXPECT_TRUE(NotStarted(mainProgram_));
}

TEST_F(TContextMenuTest, CommandStrings)
{
    SetConfig(ValModwrightPath, mainProgram_);
    ASSERT_EQ(Initialize({MakeFile("pic.bmp")}), S_OK);
    EXPECT_EQ(CommandString(GCS_VERBA), "mdwfr2edit");
    EXPECT_EQ(CommandString(GCS_VERBA, 4), "mdw");
    EXPECT_EQ(CommandString(GCS_HELPTEXTA, 7), "Choose");
    HRESULT hr = S_OK;
    CommandString(GCS_VALIDATEA, 260, 0, &hr);
    EXPECT_EQ(hr, S_OK);
    for (UINT wide : {GCS_VERBW, GCS_HELPTEXTW, GCS_VALIDATEW, 99u}) {
        CommandString(wide, 260, 0, &hr);
        EXPECT_EQ(hr, E_INVALIDARG) << wide;
    }
    CommandString(GCS_VERBA, 260, 1, &hr);
    EXPECT_EQ(hr, E_INVALIDARG);
    EXPECT_EQ(menu_->GetCommandString(0, GCS_VERBA, nullptr, nullptr, 10), E_INVALIDARG);
}
