#include "assistant/engine/update/InstallerEnvironment.h"

static std::string WithoutSlash(std::string path)
{
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

static void Add(std::string &block, const char *name, const std::string &value)
{
    if (value.empty())
        return;
    block += name;
    block += '=';
    block += value;
    block += '\0';
}

std::string InstallerEnvironment(const InstallerFolders &f)
{
    std::string windows = WithoutSlash(f.windows), system = WithoutSlash(f.system), work = WithoutSlash(f.work);
    if (windows.size() < 2 || system.empty() || work.empty())
        return std::string();
    std::string common = WithoutSlash(f.commonData);
    std::string block;
    // Sorted by name, ignoring case, as the system keeps an environment.
    Add(block, "ALLUSERSPROFILE", common);
    Add(block, "ComSpec", system + "\\cmd.exe");
    Add(block, "OS", "Windows_NT");
    Add(block, "Path", system + ";" + windows + ";" + system + "\\Wbem");
    Add(block, "PATHEXT", ".COM;.EXE;.BAT;.CMD");
    Add(block, "ProgramData", common);
    Add(block, "ProgramFiles", WithoutSlash(f.programFiles));
    Add(block, "SystemDrive", windows.substr(0, 2));
    Add(block, "SystemRoot", windows);
    Add(block, "TEMP", work);
    Add(block, "TMP", work);
    Add(block, "windir", windows);
    block += '\0';
    return block;
}
