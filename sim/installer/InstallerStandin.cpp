// Stand-in for every installer and update package the assistant runs.
// Appends "name<TAB>local time<TAB>arguments" to installs.log in the token
// state folder (%TOKENSIM_DIR%, else C:\tokensim) and exits with the code
// that installer.ini there gives for its file name, section [ExitCode]
// (default 0), so a test can make any one step fail.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>

static std::string StateFolder()
{
    char buf[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("TOKENSIM_DIR", buf, sizeof(buf));
    return (n > 0 && n < sizeof(buf)) ? std::string(buf, n) : std::string("C:\\tokensim");
}

static std::string OwnFileName()
{
    char path[MAX_PATH] = {0};
    DWORD n = GetModuleFileNameA(NULL, path, sizeof(path));
    if (n == 0 || n >= sizeof(path))
        return "?";
    const char *slash = strrchr(path, '\\');
    return slash ? slash + 1 : path;
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

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::string folder = StateFolder();
    std::string name = OwnFileName();
    SYSTEMTIME now;
    GetLocalTime(&now);
    char line[1024];
    snprintf(line, sizeof(line), "%s\t%04u-%02u-%02u %02u:%02u:%02u.%03u\t%s\r\n", name.c_str(), now.wYear, now.wMonth,
             now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds, Arguments().c_str());
    HANDLE log = CreateFileA((folder + "\\installs.log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (log != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(log, line, static_cast<DWORD>(strlen(line)), &written, NULL);
        CloseHandle(log);
    }
    return static_cast<int>(GetPrivateProfileIntA("ExitCode", name.c_str(), 0, (folder + "\\installer.ini").c_str()));
}
