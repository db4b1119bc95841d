/* A stand-in for the Windows packer, built by scripts/check-wine with MinGW and
 * run under wine. It reads its command line the way the packer must (everything
 * after the program name is the folder, blanks and all) and writes what it saw
 * to the UTF-8 file named by MODWRIGHT_PROBE_LOG:
 *   cmdline <the whole command line>
 *   cwd <the working folder>
 *   folder <the folder it was given>
 *   file <name>                 one line per entry of that folder
 *   modname <ModName.txt's first line, read as windows-1252>
 * Exit code 0 when the folder and its ModName.txt were found, 3 otherwise. */
#include <stdio.h>
#include <string.h>
#include <wchar.h>
#include <windows.h>

static FILE *logFile;

static void logLine(const char *tag, const wchar_t *text)
{
    char utf8[4 * MAX_PATH * 4];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, (int)sizeof utf8, NULL, NULL);
    fprintf(logFile, "%s %s\n", tag, n > 0 ? utf8 : "?");
}

int wmain(void)
{
    wchar_t logName[MAX_PATH];
    if (!GetEnvironmentVariableW(L"MODWRIGHT_PROBE_LOG", logName, MAX_PATH))
        return 4;
    logFile = _wfopen(logName, L"wb");
    if (!logFile)
        return 4;

    const wchar_t *line = GetCommandLineW();
    logLine("cmdline", line);
    wchar_t cwd[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, cwd);
    logLine("cwd", cwd);

    /* The program name, quoted or up to the first blank, then the blanks after it. */
    const wchar_t *p = line;
    if (*p == L'"') {
        p = wcschr(p + 1, L'"');
        p = p ? p + 1 : line + wcslen(line);
    } else {
        while (*p && *p != L' ' && *p != L'\t')
            ++p;
    }
    while (*p == L' ' || *p == L'\t')
        ++p;
    wchar_t folder[MAX_PATH];
    wcsncpy(folder, p, MAX_PATH - 1);
    folder[MAX_PATH - 1] = 0;
    logLine("folder", folder);

    int found = 0;
    wchar_t pattern[MAX_PATH + 4];
    _snwprintf(pattern, MAX_PATH + 3, L"%ls\\*", folder);
    pattern[MAX_PATH + 3] = 0;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW(pattern, &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (wcscmp(entry.cFileName, L".") && wcscmp(entry.cFileName, L".."))
                logLine("file", entry.cFileName);
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }

    wchar_t modNameFile[MAX_PATH + 16];
    _snwprintf(modNameFile, MAX_PATH + 15, L"%ls\\ModName.txt", folder);
    modNameFile[MAX_PATH + 15] = 0;
    FILE *in = _wfopen(modNameFile, L"rb");
    if (in) {
        char bytes[1024];
        size_t n = fread(bytes, 1, sizeof bytes - 1, in);
        fclose(in);
        bytes[n] = 0;
        char *end = strpbrk(bytes, "\r\n");
        if (end)
            *end = 0;
        wchar_t name[1024];
        if (MultiByteToWideChar(1252, 0, bytes, -1, name, 1024) > 0) {
            logLine("modname", name);
            found = 1;
        }
    }
    fclose(logFile);
    return found ? 0 : 3;
}
