// Where the assistant puts what it runs: a folder of each run under the
// machine's common application data that only administrators and SYSTEM
// can write, so no program of the user can change or plant a file between
// its check and its start. Never the user's Temp.
#pragma once

#include "assistant/engine/update/RunFolder.h"

#include <windows.h>

#include <vector>

// The folders themselves: made with their descriptor, held open through
// handles that do not follow links.
class CWin32FolderSystem : public IFolderSystem {
public:
    ~CWin32FolderSystem() override { ReleaseAll(); }
    FolderMade CreateSecured(const std::string &path) override;
    FolderFacts Hold(const std::string &path) override;
    void ReleaseAll() override;
    bool RemoveEmpty(const std::string &path) override;
    std::string RunTag() override;

private:
    std::vector<HANDLE> m_held;
};

// The machine's common application data folder; "" when it has none.
std::string CommonDataFolder();
