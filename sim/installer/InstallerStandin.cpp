// Stand-in for every installer and update package the assistant runs.
// Appends "name<TAB>local time<TAB>arguments<TAB>full path<TAB>current
// folder<TAB>TEMP" to installs.log
// in the token state folder (%TOKENSIM_DIR%, else C:\tokensim) and exits
// with the code that installer.ini there gives for its file name, section
// [ExitCode] (default 0; decimal or 0x hexadecimal, so a test can also end
// it as a crashed process would), so a test can make any one step fail.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

static std::string StateFolder()
{
    char buf[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("TOKENSIM_DIR", buf, sizeof(buf));
    return (n > 0 && n < sizeof(buf)) ? std::string(buf, n) : std::string("C:\\tokensim");
}

static std::string OwnPath()
{
    char path[MAX_PATH] = {0};
    DWORD n = GetModuleFileNameA(NULL, path, sizeof(path));
    return (n == 0 || n >= sizeof(path)) ? std::string("?") : std::string(path, n);
}

static std::string FileNameOf(const std::string &path)
{
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

static unsigned long ExitCodeFor(const std::string &name, const std::string &folder)
{
    char text[32] = {0};
    GetPrivateProfileStringA("ExitCode", name.c_str(), "0", text, sizeof(text), (folder + "\\installer.ini").c_str());
    return strtoul(text, NULL, 0);
}

// The command line without the program's own name.
static std::string Arguments()
{
    const char *line = GetCommandLineA();
    bool quoted = false;
    while (*line && (quoted || (*line != ' ' && *line != '\t'))) {
        if (*line == '"')
            quoted = !quoted;
        ++line;
    }
    while (*line == ' ' || *line == '\t')
        ++line;
    return line;
}

static std::string CurrentFolder()
{
    char buf[MAX_PATH] = {0};
    DWORD n = GetCurrentDirectoryA(sizeof(buf), buf);
    return (n == 0 || n >= sizeof(buf)) ? std::string("?") : std::string(buf, n);
}

static std::string Variable(const char *name)
{
    char buf[MAX_PATH] = {0};
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof(buf));
    return (n == 0 || n >= sizeof(buf)) ? std::string("-") : std::string(buf, n);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::string folder = StateFolder();
    std::string path = OwnPath();
    std::string name = FileNameOf(path);
    SYSTEMTIME now;
    GetLocalTime(&now);
    char line[1024];
    snprintf(line, sizeof(line), "%s\t%04u-%02u-%02u %02u:%02u:%02u.%03u\t%s\t%s\t%s\t%s\r\n", name.c_str(), now.wYear,
             now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds, Arguments().c_str(),
             path.c_str(), CurrentFolder().c_str(), Variable("TEMP").c_str());
    HANDLE log = CreateFileA((folder + "\\installs.log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (log != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(log, line, static_cast<DWORD>(strlen(line)), &written, NULL);
        CloseHandle(log);
    }
    ExitProcess(static_cast<UINT>(ExitCodeFor(name, folder)));
}
