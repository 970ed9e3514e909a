// The folder a run writes its version file, packages and installers to:
// made fresh by this program for each run, with its protected descriptor
// in the creating call, under a parent that is ours too. Folders under the
// machine's common data may be made by any user first: one that already
// exists is used only when it is exactly what we would have made, and is
// never secured again (a handle kept from before would survive that).
#pragma once

#include <string>
#include <vector>

// Administrators and SYSTEM only, not inherited from above, in the
// system's descriptor text form.
extern const char kWorkFolderSecurity[];

enum class FolderMade { Created, Exists, Failed };

struct FolderFacts {
    bool exists = false;
    bool directory = false;
    bool reparsePoint = false;
    std::string security;  // owner and access list, as descriptor text
};

class IFolderSystem {
public:
    virtual ~IFolderSystem() {}
    // Creates path with kWorkFolderSecurity given in the creating call.
    virtual FolderMade CreateSecured(const std::string &path) = 0;
    // Opens path itself (a link, never what it leads to) and keeps it open,
    // so it cannot be renamed or removed, until ReleaseAll.
    virtual FolderFacts Hold(const std::string &path) = 0;
    virtual void ReleaseAll() = 0;
    // Removes an empty folder (a link: the link only).
    virtual bool RemoveEmpty(const std::string &path) = 0;
    // A name part that differs between runs.
    virtual std::string RunTag() = 0;
};

// Whether descriptor text is kWorkFolderSecurity: owner administrators (or
// SYSTEM), a protected list with exactly its two entries.
bool IsOwnFolderSecurity(const std::string &sddl);

class RunFolder {
public:
    RunFolder(IFolderSystem &folders, const std::string &base) : m_fs(folders), m_base(base) {}
    ~RunFolder() { End(); }

    // base\Orvane_Assistant\Run-<tag>\ made at the first call of a run;
    // "" when it cannot be made safely (a folder not ours, a link).
    std::string Path();
    // Lets the folders go and removes them when empty.
    void End();

private:
    IFolderSystem &m_fs;
    std::string m_base;
    std::string m_parent;
    std::string m_path;
};
