// The environment an installer starts with. The administrator's own
// environment is the user's to set (HKCU\Environment), so nothing of it is
// passed on: the machine's folders only, and the run's folder as TEMP/TMP.
#pragma once

#include <string>

struct InstallerFolders {
    std::string windows;       // the Windows folder
    std::string system;        // the system folder
    std::string programFiles;  // may be empty
    std::string commonData;    // the common application data; may be empty
    std::string work;          // the run's folder, with or without its '\'
};

// "NAME=value" entries in order of name, each ended by a NUL, then a NUL;
// "" when the Windows, system or work folder is missing.
std::string InstallerEnvironment(const InstallerFolders &folders);
