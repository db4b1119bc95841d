// The file managers' menu entries that registration writes, read back the way
// each manager reads them.

#include "FileManagerReaders.h"
#include "ShellExtFixture.h"
#include "platform/ShellMenuFiles.h"
#include "platform/ShellRegistration.h"

#include <QXmlStreamReader>
#include <algorithm>
#include <atomic>
#include <fnmatch.h>
#include <map>
#include <thread>

namespace {

class TMenuFilesTest : public TShellExtTest {
protected:
    void SetUp() override
    {
        TShellExtTest::SetUp();
        Override("XDG_CONFIG_HOME", Path("xdg"));
        Override("HOME", Path("home"));
        bridge_ = MakeRecorder("my apps/bin/modwright-shellmenu");
        SetConfig(ValModwrightPath, Path("my apps/bin/modwright"));
        ASSERT_TRUE(TGLib::Get().Loaded());
    }
    std::string Kde(const char *kind) const
    {
        return Path(std::string("data/kio/servicemenus/modwright-edit-") + kind + ".desktop");
    }
    std::string KdeOld(const char *kind) const
    {
        return Path(std::string("data/kservices5/ServiceMenus/modwright-edit-") + kind + ".desktop");
    }
    std::string Nemo(const char *kind) const
    {
        return Path(std::string("data/nemo/actions/modwright-edit-") + kind + ".nemo_action");
    }
    std::string PcManFm(const char *kind) const
    {
        return Path(std::string("data/file-manager/actions/modwright-edit-") + kind + ".desktop");
    }
    std::string Nautilus(const std::string &label) const { return Path("data/nautilus/scripts/" + label); }
    std::string Caja(const std::string &label) const { return Path("xdg/caja/scripts/" + label); }
    std::string Thunar() const { return Path("xdg/Thunar/uca.xml"); }

    static std::string Text(const std::string &path)
    {
        return TTestDir::readAll(QString::fromStdString(path)).toStdString();
    }
    static bool Exists(const std::string &path)
    {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0;
    }
    static unsigned Mode(const std::string &path)
    {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
    }
    static std::string Key(const std::string &path, const std::string &group, const std::string &key)
    {
        return TGLib::Get().KeyString(Text(path), group, key).value_or("<missing>");
    }

    // Thunar's actions: unique id -> name, command and patterns; fails the test when not well-formed.
    struct TUca {
        std::string name, command, patterns;
    };
    static std::map<std::string, TUca> ThunarActions(const std::string &text)
    {
        std::map<std::string, TUca> actions;
        QXmlStreamReader reader(QString::fromStdString(text));
        std::map<QString, QString> fields;
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isStartElement() && reader.name() != u"actions" && reader.name() != u"action")
                fields[reader.name().toString()] = reader.readElementText();
            if (reader.isEndElement() && reader.name() == u"action") {
                actions[fields[QStringLiteral("unique-id")].toStdString()] = {
                    fields[QStringLiteral("name")].toStdString(),
                    fields[QStringLiteral("command")].toStdString(),
                    fields[QStringLiteral("patterns")].toStdString()};
                fields.clear();
            }
        }
        EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString() << "\n" << text;
        return actions;
    }
    // Whether one of Thunar's ";"-separated patterns matches the name (g_pattern_match_simple: "*" and "?").
    static bool ThunarMatches(const std::string &patterns, const std::string &name)
    {
        for (const QString &p : QString::fromStdString(patterns).split(';', Qt::SkipEmptyParts))
            if (::fnmatch(p.trimmed().toStdString().c_str(), name.c_str(), 0) == 0)
                return true;
        return false;
    }

    std::string bridge_;
};

const std::string Action = "Desktop Action modwrightEdit";
const std::string Profile = "X-Action-Profile modwright";

} // namespace

TEST_F(TMenuFilesTest, EveryManagerGetsEntriesThatFilterWhereItCan)
{
    SetImageEditor(MakeRecorder("tools/gimp"), "GIMP");
    EXPECT_TRUE(InstallShellMenus(bridge_).empty());

    for (const std::string &menu : {Kde("image"), KdeOld("image")}) {
        EXPECT_EQ(Key(menu, "Desktop Entry", "MimeType"), "image/bmp;image/jpeg;");
        EXPECT_EQ(Key(menu, "Desktop Entry", "X-KDE-RequiredNumberOfUrls"), "1");
        EXPECT_EQ(Key(menu, "Desktop Entry", "X-KDE-Protocols"), "file");
        EXPECT_EQ(Key(menu, Action, "Name"), "Edit with GIMP");
        EXPECT_EQ(Mode(menu), 0755u) << "KDE ignores user service menus that are not executable";
    }
    EXPECT_EQ(Key(Kde("drum"), Action, "Name"), "Edit with...");
    EXPECT_NE(Key(Kde("drum"), "Desktop Entry", "MimeType").find("audio/x-aiff"), std::string::npos);

    EXPECT_EQ(Key(Nemo("image"), "Nemo Action", "Name"), "Edit with GIMP");
    EXPECT_EQ(Key(Nemo("image"), "Nemo Action", "Selection"), "s");
    const std::string extensions = ";" + Key(Nemo("image"), "Nemo Action", "Extensions");
    for (const char *ext : {";jpg;", ";JPG;", ";jPg;", ";bmp;", ";BMP;"})
        EXPECT_NE(extensions.find(ext), std::string::npos) << ext;
    EXPECT_EQ(extensions.find("jpeg"), std::string::npos);
    EXPECT_EQ(Key(Nemo("drum"), "Nemo Action", "Extensions").find("aiff"), std::string::npos);

    EXPECT_EQ(Key(PcManFm("drum"), "Desktop Entry", "Type"), "Action");
    EXPECT_EQ(Key(PcManFm("drum"), "Desktop Entry", "Name"), "Edit with...");
    EXPECT_EQ(Key(PcManFm("drum"), Profile, "SelectionCount"), "=1");
    EXPECT_EQ(Key(PcManFm("drum"), Profile, "Basenames"), "*.wav;*.aif;");
    EXPECT_EQ(Key(PcManFm("drum"), Profile, "Matchcase"), "false");
    EXPECT_EQ(Key(PcManFm("drum"), Profile, "Schemes"), "file;");

    // Scripts cannot filter: one per label, executable, and the bridge refuses the other kind.
    for (const std::string &script :
         {Nautilus("Edit with GIMP"), Nautilus("Edit with..."), Caja("Edit with GIMP")}) {
        EXPECT_EQ(Mode(script), 0755u) << script;
        EXPECT_EQ(Text(script).rfind("#!/bin/sh\n", 0), 0u);
    }
    EXPECT_NE(Text(Nautilus("Edit with GIMP")).find("'--kind' 'image'"), std::string::npos);

    // Thunar: one local file (%f, never %F) whose name ends in the kind's extension, in any case.
    const auto actions = ThunarActions(Text(Thunar()));
    ASSERT_EQ(actions.size(), 2u);
    const TUca image = actions.at("modwright-edit-image");
    EXPECT_EQ(image.name, "Edit with GIMP");
    EXPECT_EQ(image.command.find("%F"), std::string::npos);
    EXPECT_NE(image.command.find(" %f"), std::string::npos);
    for (const char *name : {"a.jpg", "B.JPG", "c.Jpg", "d.bMp"})
        EXPECT_TRUE(ThunarMatches(image.patterns, name)) << name;
    for (const char *name : {"a.jpeg", "a.dib", "a.wav", "jpg"})
        EXPECT_FALSE(ThunarMatches(image.patterns, name)) << name;
    EXPECT_TRUE(ThunarMatches(actions.at("modwright-edit-drum").patterns, "KICK.AIF"));
    EXPECT_FALSE(ThunarMatches(actions.at("modwright-edit-drum").patterns, "kick.aiff"));
}

TEST_F(TMenuFilesTest, LabelsFollowTheEditorChoiceAndTheConfigurationFolderTravels)
{
    InstallShellMenus(bridge_);
    // The same label for both kinds: one script, for both.
    EXPECT_TRUE(Exists(Nautilus("Edit with...")));
    EXPECT_EQ(Text(Nautilus("Edit with...")).find("--kind"), std::string::npos);
    const std::string exec = Key(Kde("image"), Action, "Exec");
    EXPECT_NE(exec.find("--config-dir"), std::string::npos) << exec;
    EXPECT_NE(exec.find(Path("config")), std::string::npos) << exec;

    SetImageEditor(MakeRecorder("tools/paint"), "");
    InstallShellMenus(bridge_);
    EXPECT_EQ(Key(Kde("image"), Action, "Name"), "Edit with paint");
    EXPECT_EQ(Key(Nemo("image"), "Nemo Action", "Name"), "Edit with paint");
    EXPECT_EQ(Key(PcManFm("image"), "Desktop Entry", "Name"), "Edit with paint");
    EXPECT_EQ(ThunarActions(Text(Thunar())).at("modwright-edit-image").name, "Edit with paint");
    EXPECT_TRUE(Exists(Caja("Edit with paint")));
    EXPECT_NE(Text(Caja("Edit with...")).find("'--kind' 'drum'"), std::string::npos);

    SetImageEditor(MakeRecorder("tools/krita"), "Krita");
    InstallShellMenus(bridge_);
    EXPECT_FALSE(Exists(Nautilus("Edit with paint"))) << "the script of the old label goes";
    EXPECT_TRUE(Exists(Nautilus("Edit with Krita")));

    // Neither an editor nor the main program: nothing to offer, every entry goes.
    SetImageEditor("", "", "0");
    SetConfig(ValModwrightPath, "");
    InstallShellMenus(bridge_);
    EXPECT_TRUE(ListShellMenus().empty());
    EXPECT_TRUE(ThunarActions(Text(Thunar())).empty());
}

TEST_F(TMenuFilesTest, AnEditorNameWithControlCharactersStaysOnOneLine)
{
    SetImageEditor(MakeRecorder("tools/gimp"), "GIMP\ntouch pwned\x01");
    EXPECT_TRUE(InstallShellMenus(bridge_).empty());
    const std::string label = "Edit with GIMP touch pwned ";
    const std::string script = Text(Nautilus(label));
    EXPECT_EQ(std::count(script.begin(), script.end(), '\n'), 4) << script;
    EXPECT_EQ(script.find("\ntouch"), std::string::npos);
    EXPECT_EQ(Key(Kde("image"), Action, "Name"), label);
    EXPECT_EQ(ThunarActions(Text(Thunar())).at("modwright-edit-image").name, label);
}

TEST_F(TMenuFilesTest, OthersFilesOfTheSameNameAreNeverTouched)
{
    const std::string theirs = "[Desktop Entry]\nType=Service\nName=Mine\n";
    dir_.createFile("data/kio/servicemenus/modwright-edit-image.desktop", QByteArray::fromStdString(theirs));
    dir_.createFile("data/nemo/actions/modwright-edit-drum.nemo_action", QByteArray::fromStdString(theirs));
    const std::string script = MakeRecorder("data/nautilus/scripts/Edit with...");
    const std::string scriptText = Text(script);
    // The link earlier versions made is ours and goes.
    ASSERT_EQ(::symlink(bridge_.c_str(), Nautilus("Edit with (Modwright)").c_str()), 0);

    InstallShellMenus(bridge_);
    EXPECT_EQ(Text(Kde("image")), theirs);
    EXPECT_EQ(Text(Nemo("drum")), theirs);
    EXPECT_EQ(Text(script), scriptText);
    EXPECT_TRUE(Exists(Kde("drum")));
    EXPECT_FALSE(Exists(Nautilus("Edit with (Modwright)")));

    RemoveShellMenus();
    EXPECT_EQ(Text(Kde("image")), theirs);
    EXPECT_EQ(Text(Nemo("drum")), theirs);
    EXPECT_EQ(Text(script), scriptText);
    EXPECT_FALSE(Exists(Kde("drum")));
    EXPECT_FALSE(Exists(Caja("Edit with...")));
    EXPECT_TRUE(ListShellMenus().empty());
}

TEST_F(TMenuFilesTest, ThunarKeepsEveryOtherActionByteForByte)
{
    const std::string foreign =
        "<action>\n\t<icon>utilities-terminal</icon>\n\t<name>Open Terminal &amp; Here</name>\n"
        "\t<unique-id>1234-1</unique-id>\n\t<command>exo-open --launch TerminalEmulator</command>\n"
        "\t<description>Example</description>\n\t<patterns>*</patterns>\n"
        "\t<startup-notify/>\n\t<directories/>\n</action>\n";
    const std::string original =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- mine -->\n<actions>\n" + foreign + "</actions>\n";
    dir_.createFile("xdg/Thunar/uca.xml", QByteArray::fromStdString(original));

    EXPECT_TRUE(InstallShellMenus(bridge_).empty());
    const std::string merged = Text(Thunar());
    EXPECT_NE(merged.find("<!-- mine -->\n<actions>\n" + foreign), std::string::npos) << merged;
    const auto actions = ThunarActions(merged);
    EXPECT_EQ(actions.size(), 3u);
    EXPECT_EQ(actions.at("1234-1").name, "Open Terminal & Here");

    SetImageEditor(MakeRecorder("tools/gimp"), "GIMP & <Co>");
    InstallShellMenus(bridge_);
    EXPECT_EQ(ThunarActions(Text(Thunar())).at("modwright-edit-image").name, "Edit with GIMP & <Co>");
    EXPECT_EQ(ThunarActions(Text(Thunar())).size(), 3u) << "ours replaced, not added again";

    RemoveShellMenus();
    EXPECT_EQ(Text(Thunar()), original);

    // Missing: made, with ours only.
    QFile::remove(QString::fromStdString(Thunar()));
    InstallShellMenus(bridge_);
    EXPECT_EQ(ThunarActions(Text(Thunar())).size(), 2u);
}

TEST_F(TMenuFilesTest, UnusableFilesAndFoldersAreLeftAloneWithOneMessage)
{
    const std::string malformed = "<?xml version=\"1.0\"?>\n<actions>\n<action><name>x</name>\n</actions>\n";
    dir_.createFile("xdg/Thunar/uca.xml", QByteArray::fromStdString(malformed));
    const QString elsewhere = dir_.createDir("elsewhere");
    QDir().mkpath(QString::fromStdString(Path("data/nemo")));
    ASSERT_EQ(::symlink(elsewhere.toUtf8().constData(), Path("data/nemo/actions").c_str()), 0);

    std::vector<std::string> problems = InstallShellMenus(bridge_);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find(Path("data/nemo/actions") + " is a link to"), std::string::npos)
        << problems[0];
    EXPECT_NE(problems[1].find(Thunar() + " is not a well-formed actions file"), std::string::npos)
        << problems[1];
    EXPECT_EQ(Text(Thunar()), malformed);
    EXPECT_TRUE(QDir(elsewhere).isEmpty());
    EXPECT_TRUE(Exists(Kde("image"))) << "the other managers still get theirs";

    // A uca.xml that links elsewhere is someone's own arrangement: untouched too.
    const std::string target = dir_.createFile("dotfiles/uca.xml", "<actions>\n</actions>\n").toStdString();
    QFile::remove(QString::fromStdString(Thunar()));
    ASSERT_EQ(::symlink(target.c_str(), Thunar().c_str()), 0);
    problems = InstallShellMenus(bridge_);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[1].find(Thunar() + " is a link to " + target), std::string::npos) << problems[1];
    EXPECT_EQ(Text(target), "<actions>\n</actions>\n");
}

TEST_F(TMenuFilesTest, TwoStartsAtOnceNeverLeaveATornFile)
{
    dir_.createFile("xdg/Thunar/uca.xml",
                    "<actions>\n<action><unique-id>theirs</unique-id></action>\n</actions>\n");
    InstallShellMenus(bridge_);
    std::atomic<bool> done{false};
    std::atomic<int> bad{0};
    std::thread reader([&] {
        while (!done) {
            const std::string uca = Text(Thunar());
            QXmlStreamReader xml(QString::fromStdString(uca));
            int actions = 0;
            while (!xml.atEnd())
                if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"action")
                    ++actions;
            const std::string kde = Text(Kde("image"));
            if (xml.hasError() || actions != 3 || (!kde.empty() && kde.find("%f\n") == std::string::npos)) {
                if (bad++ == 0)
                    ADD_FAILURE() << xml.errorString().toStdString() << " " << actions << "\n"
                                  << uca << "\n"
                                  << kde;
            }
        }
    });
    auto start = [&] {
        return std::thread([&] {
            for (int i = 0; i < 15; ++i)
                InstallShellMenus(bridge_);
        });
    };
    std::thread a = start(), b = start();
    a.join();
    b.join();
    done = true;
    reader.join();
    EXPECT_EQ(bad, 0);
    EXPECT_EQ(ThunarActions(Text(Thunar())).size(), 3u);
}

TEST_F(TMenuFilesTest, RegistrationFindsTheBridgeBesideTheProgramAndRemovalCleansUp)
{
    const std::string program = Path("my apps/bin/modwright");
    RegisterShellExtension(true, program);
    EXPECT_EQ(ListShellMenus().size(), 12u) << "two for each of four folders, two scripts, Thunar's two";
    const std::string once = Text(Kde("image"));
    RegisterShellExtension(true, program);
    EXPECT_EQ(Text(Kde("image")), once);

    RegisterShellExtension(false, program);
    EXPECT_TRUE(ListShellMenus().empty());
    EXPECT_TRUE(Exists(Path("data/kio/servicemenus"))) << "folders may hold others' files";

    // A program without the bridge beside it gets no entries, and loses stale ones.
    RegisterShellExtension(true, program);
    QFile::remove(QString::fromStdString(bridge_));
    RegisterShellExtension(true, program);
    EXPECT_TRUE(ListShellMenus().empty());
}

TEST_F(TMenuFilesTest, NothingIsWrittenWithoutAbsoluteFolders)
{
    Override("XDG_DATA_HOME", "relative/data");
    Override("XDG_CONFIG_HOME", "relative/config");
    Override("HOME", "relative-home");
    EXPECT_EQ(UserDataFolder(), "");
    EXPECT_EQ(UserConfigFolder(), "");
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
    EXPECT_EQ(ShellQuote("it's $(x)"), "'it'\\''s $(x)'");
    ASSERT_TRUE(TGLib::Get().Loaded());
    EXPECT_EQ(TGLib::Get().ShellWords(ShellQuote("a 'b' \"c\" \\ $(d)\n")),
              std::vector<std::string>{"a 'b' \"c\" \\ $(d)\n"});
}
