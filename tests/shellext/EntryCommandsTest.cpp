// Every file manager's entry run end to end: its command line taken from the
// entry the way the manager takes it, the manager's substitution of the file,
// then the built bridge and library starting the chosen editor. A file name with
// quotes, "$(...)", a line break or a leading "-" must reach the editor as one
// argument, and the entry must find the configuration folder it was written with.

#include "FileManagerReaders.h"
#include "ShellExtFixture.h"
#include "platform/ShellMenuFiles.h"
#include "platform/ShellRegistration.h"

#include <QXmlStreamReader>

namespace {

const std::string Bridge = std::string(MODWRIGHT_BIN_DIR) + "/modwright-shellmenu";

class TEntryCommandsTest : public TShellExtTest {
protected:
    void SetUp() override
    {
        TShellExtTest::SetUp();
        Override("XDG_CONFIG_HOME", Path("xdg"));
        Override("PATH", "/usr/bin:/bin"); // no notifier or dialog program of the test's own
        Override("DISPLAY", "");
        Override("WAYLAND_DISPLAY", "");
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ASSERT_TRUE(TGLib::Get().Loaded());
        RegisterShellClasses(true, std::string(MODWRIGHT_BIN_DIR) + "/modwright");
        SetConfig(ValModwrightPath, MakeRecorder("bin/modwright"));
        editor_ = MakeNulRecorder("tools/editor");
        SetImageEditor(editor_, "Editor");
        ASSERT_TRUE(InstallShellMenus(Bridge).empty());
        // The entries must carry the folder: the file manager runs them without it.
        Override("MODWRIGHT_CONFIG_DIR", Path("another config"));
        file_ = MakeFile("pics/-it's \"q\" $(touch pwned) `id` 100%f\nline.jpg");
    }

    // A recorder whose arguments may hold line breaks: NUL after each.
    std::string MakeNulRecorder(const std::string &relative)
    {
        const std::string path =
            dir_.createFile(QString::fromStdString(relative), "#!/bin/sh\n"
                                                              "printf '%s\\0' \"$@\" > \"$0.args.tmp\"\n"
                                                              "mv \"$0.args.tmp\" \"$0.args\"\n")
                .toStdString();
        ::chmod(path.c_str(), 0755);
        return path;
    }
    std::vector<std::string> EditorArgs()
    {
        if (!RecordedArgs(editor_)) // waits for the file
            return {};
        const QByteArray bytes = TTestDir::readAll(QString::fromStdString(editor_ + ".args"));
        QFile::remove(QString::fromStdString(editor_ + ".args"));
        std::vector<std::string> args;
        for (const QByteArray &arg : bytes.split('\0'))
            args.push_back(arg.toStdString());
        args.pop_back(); // after the last NUL
        return args;
    }
    static std::string Text(const std::string &path)
    {
        return TTestDir::readAll(QString::fromStdString(path)).toStdString();
    }
    // Runs the words as a program with its arguments.
    static int Run(const std::vector<std::string> &words)
    {
        return RunProgram(words.at(0), std::vector<std::string>(words.begin() + 1, words.end())).exitCode;
    }
    // A desktop-entry-style command: the key read by GKeyFile, the code replaced
    // by the shell-quoted file, the words split by g_shell_parse_argv.
    std::vector<std::string> KeyFileCommand(const std::string &entry, const std::string &group,
                                            const std::string &key, char code, const std::string &replacement)
    {
        const auto exec = TGLib::Get().KeyString(Text(entry), group, key);
        EXPECT_TRUE(exec) << entry;
        const auto words = TGLib::Get().ShellWords(ExpandCodes(exec.value_or(""), code, replacement));
        EXPECT_TRUE(words) << *exec;
        return words.value_or(std::vector<std::string>{"/bin/false"});
    }

    std::string editor_, file_;
};

} // namespace

TEST_F(TEntryCommandsTest, KdeServiceMenusAndFileManagerActionsRunTheEditor)
{
    const std::string quoted = TGLib::Get().ShellQuote(file_);
    for (const char *menu : {"data/kio/servicemenus/modwright-edit-image.desktop",
                             "data/kservices5/ServiceMenus/modwright-edit-image.desktop"}) {
        EXPECT_EQ(Run(KeyFileCommand(Path(menu), "Desktop Action modwrightEdit", "Exec", 'f', quoted)), 0)
            << menu;
        EXPECT_EQ(EditorArgs(), std::vector<std::string>{file_}) << menu;
    }
    EXPECT_EQ(Run(KeyFileCommand(Path("data/file-manager/actions/modwright-edit-image.desktop"),
                                 "X-Action-Profile modwright", "Exec", 'f', quoted)),
              0);
    EXPECT_EQ(EditorArgs(), std::vector<std::string>{file_});
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("pics/pwned"))));
}

TEST_F(TEntryCommandsTest, NemoActionsGetThePathInDoubleQuotes)
{
    const std::string action = Path("data/nemo/actions/modwright-edit-image.nemo_action");
    EXPECT_EQ(TGLib::Get().KeyString(Text(action), "Nemo Action", "Quote"), "double");
    // As Nemo does with Quote=double: the path's \, ", $ and ` escaped, the whole in double quotes.
    std::string quoted = "\"";
    for (char c : file_) {
        if (c == '\\' || c == '"' || c == '$' || c == '`')
            quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    EXPECT_EQ(Run(KeyFileCommand(action, "Nemo Action", "Exec", 'F', quoted)), 0);
    EXPECT_EQ(EditorArgs(), std::vector<std::string>{file_});
}

TEST_F(TEntryCommandsTest, ThunarRunsItsCommandThroughTheShell)
{
    QXmlStreamReader xml(QString::fromStdString(Text(Path("xdg/Thunar/uca.xml"))));
    std::string command, id;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == u"action")
            break; // the first is ours for images
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"unique-id")
            id = xml.readElementText().toStdString();
        else if (xml.name() == u"command" && command.empty())
            command = xml.readElementText().toStdString();
    }
    ASSERT_FALSE(xml.hasError());
    ASSERT_EQ(id, "modwright-edit-image");
    // As Thunar does: %f becomes the shell-quoted path, and sh -c runs the line.
    EXPECT_EQ(Run({"/bin/sh", "-c", ExpandCodes(command, 'f', TGLib::Get().ShellQuote(file_))}), 0);
    EXPECT_EQ(EditorArgs(), std::vector<std::string>{file_});
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("pics/pwned"))));
}

TEST_F(TEntryCommandsTest, ScriptsGetTheNamesAsNautilusAndCajaPassThem)
{
    // The managers start a script in the file's folder with the bare names.
    const std::string name = file_.substr(file_.rfind('/') + 1);
    ASSERT_EQ(name[0], '-');
    for (const std::string &script :
         {Path("data/nautilus/scripts/Edit with Editor"), Path("xdg/caja/scripts/Edit with Editor")}) {
        EXPECT_EQ(Run({"/bin/sh", "-c", "cd \"$1\" && exec \"$2\" \"$3\"", "sh", Path("pics"), script, name}),
                  0)
            << script;
        EXPECT_EQ(EditorArgs(), std::vector<std::string>{file_}) << script;
    }
}
