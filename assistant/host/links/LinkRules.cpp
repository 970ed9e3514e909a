#include "assistant/host/links/LinkRules.h"

#include "assistant/host/protocol/PageAddress.h"

namespace {

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EndsWithExe(const std::string &path)
{
    static const char kExe[] = ".exe";
    if (path.size() < 4)
        return false;
    for (size_t i = 0; i < 4; ++i)
        if (Lower(path[path.size() - 4 + i]) != kExe[i])
            return false;
    return true;
}

// "X:\..." with nothing an expansion or a search would change.
bool IsPlainAbsoluteProgram(const std::string &path)
{
    if (path.size() < 4 || !((Lower(path[0]) >= 'a' && Lower(path[0]) <= 'z') && path[1] == ':' && path[2] == '\\'))
        return false;
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (c < 0x20 || c == '%' || c == '"' || c == '/')
            return false;
    }
    size_t segment = 3;
    while (segment <= path.size()) {
        size_t end = path.find('\\', segment);
        if (end == std::string::npos)
            end = path.size();
        std::string part = path.substr(segment, end - segment);
        if (part.empty() || part == "." || part == "..")
            return false;
        segment = end + 1;
    }
    return EndsWithExe(path);
}

}  // namespace

BrowserCommand BrowserCommandFor(const std::string &registered, const std::string &url)
{
    BrowserCommand none = {false, std::string(), std::string()};
    size_t start = registered.find_first_not_of(' ');
    if (start == std::string::npos)
        return none;
    std::string application, rest;
    if (registered[start] == '"') {
        size_t close = registered.find('"', start + 1);
        if (close == std::string::npos)
            return none;
        application = registered.substr(start + 1, close - start - 1);
        rest = registered.substr(close + 1);
    } else {
        size_t end = start;
        while (end < registered.size() && !(end >= start + 4 && EndsWithExe(registered.substr(start, end - start)) &&
                                             registered[end] == ' '))
            ++end;
        application = registered.substr(start, end - start);
        rest = registered.substr(end);
    }
    if (!IsPlainAbsoluteProgram(application) || (!rest.empty() && rest[0] != ' '))
        return none;

    std::string arguments;
    bool placed = false;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '%' && i + 1 < rest.size()) {
            char next = Lower(rest[i + 1]);
            if (next == '1' || next == 'l') {
                arguments += url;
                placed = true;
                ++i;
                continue;
            }
            if (next == '*') {
                ++i;
                continue;
            }
            return none;  // anything else would be expanded from somewhere
        }
        if (rest[i] == '%')
            return none;
        arguments += rest[i];
    }
    if (!placed)
        arguments += " " + url;
    return {true, application, "\"" + application + "\"" + arguments};
}

std::string MachineClassCommandKey(const std::string &scheme)
{
    return "Software\\Classes\\" + scheme + "\\shell\\open\\command";
}

std::string StartMenuBrowserCommandKey(const std::string &name)
{
    if (name.empty() || name.find('\\') != std::string::npos || name == "." || name == "..")
        return std::string();
    return "Software\\Clients\\StartMenuInternet\\" + name + "\\shell\\open\\command";
}

LinkOutcome OpenLinkAsUser(const std::string &url, ILinkPlatform &platform)
{
    if (!IsWebAddress(url))
        return LinkOutcome::Refused;
    if (platform.OpenThroughDesktopShell(url))
        return LinkOutcome::DesktopShell;

    // Machine-wide only: HKCR would merge in the user's own classes.
    std::string keys[2];
    int count = 0;
    if (Lower(url[4]) == 's')
        keys[count++] = MachineClassCommandKey("https");
    keys[count++] = MachineClassCommandKey("http");
    for (int i = 0; i <= count; ++i) {
        std::string key = i < count ? keys[i] : std::string(), registered, name;
        if (i == count && platform.ReadMachineString("Software\\Clients\\StartMenuInternet", name))
            key = StartMenuBrowserCommandKey(name);
        if (key.empty() || !platform.ReadMachineString(key, registered))
            continue;
        BrowserCommand command = BrowserCommandFor(registered, url);
        if (command.valid && platform.StartProgram(command.application, command.commandLine))
            return LinkOutcome::MachineBrowser;
    }
    return LinkOutcome::NotOpened;
}
