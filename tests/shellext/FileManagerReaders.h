#pragma once

// The readers the file managers themselves use for our entries: GLib's key-file
// parser (Nemo, Caja, PCManFM, Thunar's helpers; the same syntax as KDE's desktop
// files) and its shell-word splitter (g_shell_parse_argv, which runs the command
// lines of Nemo, PCManFM-Qt and desktop-entry Exec keys), with g_shell_quote for
// the file names the managers substitute. GLib is loaded at run time: Qt on this
// system links it already, and the tests need no headers of it.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

class TGLib {
public:
    static TGLib &Get()
    {
        static TGLib glib;
        return glib;
    }
    bool Loaded() const { return keyFileNew_ != nullptr; }

    // The string value as GKeyFile reads it (escapes undone); nullopt when the
    // file does not parse or the key is missing.
    std::optional<std::string> KeyString(const std::string &text, const std::string &group,
                                         const std::string &key)
    {
        void *file = keyFileNew_();
        std::optional<std::string> value;
        if (keyFileLoad_(file, text.data(), text.size(), 0, nullptr)) {
            if (char *v = keyFileGetString_(file, group.c_str(), key.c_str(), nullptr)) {
                value = v;
                free_(v);
            }
        }
        keyFileFree_(file);
        return value;
    }
    // The command line split into words as g_shell_parse_argv does; nullopt on a syntax error.
    std::optional<std::vector<std::string>> ShellWords(const std::string &commandLine)
    {
        int argc = 0;
        char **argv = nullptr;
        if (!shellParseArgv_(commandLine.c_str(), &argc, &argv, nullptr))
            return std::nullopt;
        std::vector<std::string> words(argv, argv + argc);
        strfreev_(argv);
        return words;
    }
    std::string ShellQuote(const std::string &text) { return Owned(shellQuote_(text.c_str())); }

private:
    TGLib()
    {
        void *lib = ::dlopen("libglib-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!lib)
            return;
        auto load = [lib](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(::dlsym(lib, name));
        };
        load(keyFileLoad_, "g_key_file_load_from_data");
        load(keyFileGetString_, "g_key_file_get_string");
        load(keyFileFree_, "g_key_file_free");
        load(shellParseArgv_, "g_shell_parse_argv");
        load(shellQuote_, "g_shell_quote");
        load(strfreev_, "g_strfreev");
        load(free_, "g_free");
        load(keyFileNew_, "g_key_file_new");
    }
    std::string Owned(char *text)
    {
        std::string value = text ? text : "";
        free_(text);
        return value;
    }

    void *(*keyFileNew_)() = nullptr;
    int (*keyFileLoad_)(void *, const char *, std::size_t, int, void **) = nullptr;
    char *(*keyFileGetString_)(void *, const char *, const char *, void **) = nullptr;
    void (*keyFileFree_)(void *) = nullptr;
    int (*shellParseArgv_)(const char *, int *, char ***, void **) = nullptr;
    char *(*shellQuote_)(const char *) = nullptr;
    void (*strfreev_)(char **) = nullptr;
    void (*free_)(void *) = nullptr;
};

// A file manager's expansion of its file codes in a command line: "%%" gives
// "%", the code gives the replacement, other codes vanish.
inline std::string ExpandCodes(const std::string &command, char code, const std::string &replacement)
{
    std::string out;
    for (std::size_t i = 0; i < command.size(); ++i) {
        if (command[i] != '%' || i + 1 == command.size()) {
            out += command[i];
            continue;
        }
        const char c = command[++i];
        if (c == '%')
            out += '%';
        else if (c == code)
            out += replacement;
    }
    return out;
}
