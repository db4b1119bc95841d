#pragma once

#include "platform/Exception.h"
#include "platform/Registry.h"
#include "platform/ShellExtNames.h"
#include "shellext/ShellInterfaces.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

// Points the registry files ($MODWRIGHT_CONFIG_DIR) and the user's data folder
// ($XDG_DATA_HOME) at a temporary folder for one test, and makes the files and
// recording programs the tests need.
class TShellExtTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Override("MODWRIGHT_CONFIG_DIR", Path("config"));
        Override("XDG_DATA_HOME", Path("data"));
    }
    void TearDown() override
    {
        for (const auto &[name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }

    void Override(const std::string &name, const std::string &value)
    {
        if (!saved_.count(name)) {
            const char *old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        ::setenv(name.c_str(), value.c_str(), 1);
    }

    std::string Path(const std::string &relative) const { return dir_.path().toStdString() + "/" + relative; }

    // A file with some bytes; returns its full path.
    std::string MakeFile(const std::string &relative)
    {
        return dir_.createFile(QString::fromStdString(relative), "data").toStdString();
    }

    // A program that writes its arguments, one a line, to "<program>.args"
    // (renamed into place, so a reader never sees half of it).
    std::string MakeRecorder(const std::string &relative)
    {
        const std::string path =
            dir_.createFile(QString::fromStdString(relative),
                            "#!/bin/sh\n"
                            "out=\"$0.args\"\n"
                            ": > \"$out.tmp\"\n"
                            "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$out.tmp\"; done\n"
                            "mv \"$out.tmp\" \"$out\"\n")
                .toStdString();
        ::chmod(path.c_str(), 0755);
        return path;
    }

    // The arguments the recorder was started with; nullopt when it did not run
    // within five seconds.
    static std::optional<std::vector<std::string>> RecordedArgs(const std::string &recorder)
    {
        const QString file = QString::fromStdString(recorder + ".args");
        for (int i = 0; i < 500; ++i) {
            if (QFile::exists(file)) {
                std::vector<std::string> args;
                for (const QByteArray &line : TTestDir::readAll(file).split('\n'))
                    if (!line.isEmpty())
                        args.push_back(line.toStdString());
                return args;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::nullopt;
    }
    static bool NotStarted(const std::string &recorder)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        return !QFile::exists(QString::fromStdString(recorder + ".args"));
    }

    // A value of HKEY_CURRENT_USER\Software\Talwen\Modwright for ReBirth 2\Current.
    static void SetConfig(const std::string &name, const std::string &value)
    {
        TRegistry reg(TRegRoot::CurrentUser);
        reg.OpenKey("\\Software\\Talwen\\Modwright for ReBirth 2\\Current", true);
        reg.WriteString(name, value);
    }
    static void SetImageEditor(const std::string &path, const std::string &name,
                               const std::string &active = "1")
    {
        SetConfig(ValImgEditorPath, path);
        SetConfig(ValImgEditorName, name);
        SetConfig(ValImgEditorActive, active);
    }

    TTestDir dir_;

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

// The outcome of a program run to its end.
struct TRunResult {
    int exitCode = -1;
    std::string output; // its standard output
};

// Runs the program with the arguments (no shell) and collects its standard output.
inline TRunResult RunProgram(const std::string &program, const std::vector<std::string> &args)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    TRunResult result;
    if (rc == 0) {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
            result.output.append(buffer, std::size_t(n));
        int status = 0;
        ::waitpid(pid, &status, 0);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    ::close(pipeFds[0]);
    return result;
}

// A menu that records what handlers insert.
class TRecordingMenu : public TMenu {
public:
    struct TItem {
        UINT position, id;
        std::string text;
    };
    bool InsertItem(UINT position, UINT id, const char *text) override
    {
        items.push_back({position, id, text});
        return true;
    }
    std::vector<TItem> items;
};

// A window that records the messages shown over it.
class TRecordingWindow : public TWindow {
public:
    struct TMessage {
        std::string text, caption;
        UINT type;
    };
    int MessageBox(const char *text, const char *caption, UINT type) override
    {
        messages.push_back({text, caption, type});
        return IDOK;
    }
    std::vector<TMessage> messages;
};
