// tokensim: changes the state of the stand-in token libraries.
// Arguments arrive in the ANSI code page and are stored as they are.
#include "sim/core/SimCommand.h"
#include "sim/win32/SimStore.h"

#include <windows.h>
#include <shellapi.h>

#include <stdio.h>
#include <string.h>

static void Print(FILE *f, const std::string &text)
{
    fwrite(text.data(), 1, text.size(), f);
}

// Puts lang.ini into the state folder from the program's folder unless one
// is there already.
static void ProvideLang()
{
    std::string target = SimStore::Folder() + "\\lang.ini";
    if (GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES)
        return;
    std::string source = ModuleFolder(NULL) + "\\lang.ini";
    if (!CopyFileA(source.c_str(), target.c_str(), TRUE))
        fprintf(stderr, "tokensim: note: no lang.ini next to tokensim.exe to copy into %s\n",
                SimStore::Folder().c_str());
}

// "\uXXXX" stands for that UTF-16 code unit, so that Chinese texts can be
// given in ASCII: Wine without a generated glibc locale for LANG strips the
// high bits of every non-ASCII byte of a Unix command line.
static std::wstring DecodeUnicodeEscapes(const wchar_t *arg)
{
    std::wstring out;
    for (const wchar_t *p = arg; *p; ++p) {
        if (p[0] == L'\\' && p[1] == L'u') {
            unsigned v = 0;
            int k = 0;
            for (; k < 4; ++k) {
                wchar_t c = p[2 + k];
                int d = (c >= L'0' && c <= L'9') ? c - L'0' : (c >= L'a' && c <= L'f') ? c - L'a' + 10
                      : (c >= L'A' && c <= L'F') ? c - L'A' + 10 : -1;
                if (d < 0)
                    break;
                v = v * 16 + (unsigned)d;
            }
            if (k == 4 && v != 0) {
                out += (wchar_t)v;
                p += 5;
                continue;
            }
        }
        out += *p;
    }
    return out;
}

// The arguments in the ANSI code page, taken from the wide command line.
static std::vector<std::string> AnsiArguments(int argc, char **argv)
{
    std::vector<std::string> args;
    int n = 0;
    LPWSTR *wide = CommandLineToArgvW(GetCommandLineW(), &n);
    if (!wide)
        return std::vector<std::string>(argv + 1, argv + argc);
    for (int i = 1; i < n; ++i) {
        std::wstring w = DecodeUnicodeEscapes(wide[i]);
        int len = WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, NULL, 0, NULL, NULL);
        std::string a(len > 0 ? (size_t)len : 1, '\0');
        if (len > 0)
            WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, &a[0], len, NULL, NULL);
        a.resize(strlen(a.c_str()));
        args.push_back(a);
    }
    LocalFree(wide);
    return args;
}

int main(int argc, char **argv)
{
    std::vector<std::string> args = AnsiArguments(argc, argv);
    SimStore &store = SimStore::Instance();
    SimStore::Lock lock;
    SimState state = store.Current();
    SimCommandResult r = RunSimCommand(state, args, SimStore::Now());
    if (r.exitCode != 0) {
        Print(stderr, r.output);
        return r.exitCode;
    }
    switch (r.action) {
    case SIM_ACT_INIT:
    case SIM_ACT_SAVE:
        if (!store.Save(state)) {
            fprintf(stderr, "tokensim: cannot write %s\n", SimStore::StatePath().c_str());
            return 1;
        }
        if (r.action == SIM_ACT_INIT) {
            if (!store.ClearLog())
                fprintf(stderr, "tokensim: cannot clear %s\n", SimStore::LogPath().c_str());
            ProvideLang();
        }
        break;
    case SIM_ACT_SHOW_LOG: {
        std::string text;
        if (ReadWholeFile(SimStore::LogPath(), &text, 64 * 1024 * 1024))
            Print(stdout, text);
        break;
    }
    case SIM_ACT_CLEAR_LOG:
        if (!store.ClearLog()) {
            fprintf(stderr, "tokensim: cannot clear %s\n", SimStore::LogPath().c_str());
            return 1;
        }
        break;
    default:
        break;
    }
    Print(stdout, r.output);
    return 0;
}
