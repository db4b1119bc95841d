// The main program's shell registration under HKEY_CLASSES_ROOT, and the
// library's own registration entry points.

#include "ShellExtFixture.h"
#include "platform/RegistryStore.h"
#include "platform/ShellRegistration.h"
#include "shellext/ShellHost.h"

namespace {

const std::string Ours = ShellExtClassId;
const std::string Older = OlderShellExtClassId;

class TRegistrationTest : public TShellExtTest {
protected:
    void SetUp() override
    {
        TShellExtTest::SetUp();
        program_ = Path("opt/modwright/modwright");
    }
    static std::string Read(const std::string &key, const std::string &name = "")
    {
        TRegistry reg(TRegRoot::ClassesRoot);
        if (!reg.OpenKeyReadOnly("\\" + key))
            return "(no key)";
        return reg.ValueExists(name) ? reg.ReadString(name) : "(no value)";
    }
    static bool Exists(const std::string &key)
    {
        return TRegistry(TRegRoot::ClassesRoot).KeyExists("\\" + key);
    }
    static void Write(const std::string &key, const std::string &value, const std::string &name = "")
    {
        TRegistry reg(TRegRoot::ClassesRoot);
        reg.OpenKey("\\" + key, true);
        reg.WriteString(name, value);
    }
    std::string ClassesFile() const
    {
        return TTestDir::readAll(QString::fromStdString(Path("config/HKEY_CLASSES_ROOT.reg"))).toStdString();
    }

    std::string program_;
};

} // namespace

TEST_F(TRegistrationTest, WritesTheClassAndTheFourFileTypes)
{
    RegisterShellClasses(true, program_);
    EXPECT_EQ(Read("CLSID\\" + Ours), "Modwright for ReBirth 2 context menu extension");
    EXPECT_EQ(Read("CLSID\\" + Ours + "\\InProcServer32"), "libmodwright-shellext.so");
    EXPECT_EQ(Read("CLSID\\" + Ours + "\\InProcServer32", "ThreadingModel"), "Apartment");

    struct {
        const char *ext, *cls, *description, *icon;
    } const types[] = {{".aif", "AIFFFile", "AIFF Sound", ",1"},
                       {".wav", "SoundRec", "Wave Sound", ",2"},
                       {".bmp", "bmpfile", "BMP Image", ",3"},
                       {".jpg", "jpegfile", "JPEG Image", ",4"}};
    for (const auto &t : types) {
        EXPECT_EQ(Read(t.ext), t.cls);
        EXPECT_EQ(Read(t.cls), t.description);
        EXPECT_EQ(Read(std::string(t.cls) + "\\DefaultIcon"), program_ + t.icon);
        EXPECT_TRUE(Exists(std::string(t.cls) + "\\shellex\\ContextMenuHandlers\\" + Ours)) << t.ext;
    }
    EXPECT_FALSE(Exists(".aiff"));
    EXPECT_FALSE(Exists(".jpeg"));
}

TEST_F(TRegistrationTest, AnotherProgramsClassAndIconStayUnchanged)
{
    Write(".bmp", "Paint.Picture");
    Write("Paint.Picture", "Bitmap Image");
    Write("Paint.Picture\\DefaultIcon", "/usr/share/icons/paint.png,0");
    RegisterShellClasses(true, program_);
    EXPECT_EQ(Read(".bmp"), "Paint.Picture");
    EXPECT_EQ(Read("Paint.Picture"), "Bitmap Image");
    EXPECT_EQ(Read("Paint.Picture\\DefaultIcon"), "/usr/share/icons/paint.png,0");
    EXPECT_TRUE(Exists("Paint.Picture\\shellex\\ContextMenuHandlers\\" + Ours));
    EXPECT_FALSE(Exists("bmpfile"));

    // An icon of a program merely named like ours is not ours.
    Write("jpegfile\\DefaultIcon", "/usr/share/modwright-icons/jpg.png,0");
    RegisterShellClasses(true, program_);
    EXPECT_EQ(Read("jpegfile\\DefaultIcon"), "/usr/share/modwright-icons/jpg.png,0");
}

TEST_F(TRegistrationTest, AnIconOfAnEarlierInstallIsMovedToTheCurrentPath)
{
    Write("SoundRec\\DefaultIcon", "\"/old/place/MODWRIGHT\",2");
    Write(".wav", "SoundRec");
    RegisterShellClasses(true, program_);
    EXPECT_EQ(Read("SoundRec\\DefaultIcon"), program_ + ",2");
    EXPECT_EQ(Read("SoundRec"), "(no value)") << "an existing class gets no description";
}

TEST_F(TRegistrationTest, RegisteringTwiceEqualsOnce)
{
    RegisterShellClasses(true, program_);
    const std::string once = ClassesFile();
    RegisterShellClasses(true, program_);
    EXPECT_EQ(ClassesFile(), once);
}

TEST_F(TRegistrationTest, RemovalTakesOnlyWhatRegistrationWrote)
{
    Write(".bmp", "Paint.Picture");
    Write("Paint.Picture\\DefaultIcon", "/usr/share/icons/paint.png,0");
    Write("Paint.Picture\\shellex\\ContextMenuHandlers\\{11111111-2222-3333-4444-555555555555}", "");
    RegisterShellClasses(true, program_);
    RegisterShellClasses(false, program_);

    EXPECT_FALSE(Exists("CLSID\\" + Ours));
    EXPECT_FALSE(Exists("Paint.Picture\\shellex\\ContextMenuHandlers\\" + Ours));
    EXPECT_FALSE(Exists("SoundRec\\shellex\\ContextMenuHandlers\\" + Ours));
    EXPECT_EQ(Read("SoundRec\\DefaultIcon"), "(no value)");
    EXPECT_EQ(Read("Paint.Picture\\DefaultIcon"), "/usr/share/icons/paint.png,0");
    EXPECT_TRUE(
        Exists("Paint.Picture\\shellex\\ContextMenuHandlers\\{11111111-2222-3333-4444-555555555555}"));
    EXPECT_EQ(Read(".bmp"), "Paint.Picture");
}

TEST_F(TRegistrationTest, TheOlderHandlerIsRemovedWithoutTakingTheNewIcons)
{
    Write("CLSID\\" + Older, "old extension");
    Write("CLSID\\" + Older + "\\InProcServer32", "old.dll");
    Write(".jpg", "jpegfile");
    Write("jpegfile\\shellex\\ContextMenuHandlers\\" + Older, "");
    Write("Folder\\shellex\\ContextMenuHandlers\\" + Older, "");
    RegisterShellClasses(true, program_);

    EXPECT_FALSE(Exists("CLSID\\" + Older));
    EXPECT_FALSE(Exists("jpegfile\\shellex\\ContextMenuHandlers\\" + Older));
    EXPECT_FALSE(Exists("Folder\\shellex\\ContextMenuHandlers\\" + Older));
    EXPECT_TRUE(Exists("Folder\\shellex\\ContextMenuHandlers"));
    EXPECT_EQ(Read("jpegfile\\DefaultIcon"), program_ + ",4") << "icons are there after one start";
    EXPECT_TRUE(Exists("jpegfile\\shellex\\ContextMenuHandlers\\" + Ours));
}

TEST_F(TRegistrationTest, IconValuesNamingTheProgram)
{
    EXPECT_TRUE(IconNamesProgram("/a/b/modwright,3", "/x/modwright"));
    EXPECT_TRUE(IconNamesProgram("\"/a b/ModWright\",3", "/x/modwright"));
    EXPECT_TRUE(IconNamesProgram("/a/modwright", "/x/modwright"));
    EXPECT_FALSE(IconNamesProgram("/a/modwright-cli,1", "/x/modwright"));
    EXPECT_FALSE(IconNamesProgram("/modwright/icon.png,1", "/x/modwright"));
    EXPECT_FALSE(IconNamesProgram("", "/x/modwright"));
}

TEST_F(TRegistrationTest, AnUnwritableRegistryIsReportedNotHidden)
{
    // The configuration folder is a file: nothing can be written below it.
    dir_.createFile("blocked", "x");
    Override("MODWRIGHT_CONFIG_DIR", Path("blocked"));
    EXPECT_THROW(RegisterShellClasses(true, program_), EModwright);
}

TEST_F(TRegistrationTest, LibraryEntryPointsRegisterItsFullPath)
{
    const std::string library = std::string(MODWRIGHT_BIN_DIR) + "/../lib/" + ShellExtLibraryName;
    TInProcServer server(library);
    ASSERT_EQ(server.RegisterServer(), S_OK);
    char resolved[PATH_MAX];
    ASSERT_TRUE(::realpath(library.c_str(), resolved));
    EXPECT_EQ(Read("CLSID\\" + Ours), "Modwright for ReBirth 2 context menu extension");
    EXPECT_EQ(Read("CLSID\\" + Ours + "\\InprocServer32"), resolved);
    EXPECT_EQ(Read("CLSID\\" + Ours + "\\InprocServer32", "ThreadingModel"), "(no value)");

    void *object = reinterpret_cast<void *>(0x1);
    const CLSID other = MakeGuid(Older);
    EXPECT_EQ(server.GetClassObject(other, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(server.CanUnloadNow(), S_OK);

    ASSERT_EQ(server.UnregisterServer(), S_OK);
    EXPECT_FALSE(Exists("CLSID\\" + Ours));
}

TEST_F(TRegistrationTest, LoadingSomethingElseFailsClearly)
{
    const std::string notALibrary = MakeFile("fake.so");
    EXPECT_THROW(TInProcServer{notALibrary}, EModwright);
    EXPECT_THROW(TInProcServer{Path("missing.so")}, EModwright);
}
