// The state folder shared by the stand-in DLLs and tokensim.exe:
// %TOKENSIM_DIR% (else C:\tokensim) with state.ini, lang.ini and calls.log.
// One named mutex per folder serialises every read-modify-write across
// processes; state.ini is replaced atomically (temp file + MoveFileEx).
#pragma once

#include "sim/core/LangText.h"
#include "sim/core/SimState.h"

#include <windows.h>

#include <string>

struct FileStamp {
    bool exists = false;
    FILETIME written = {0, 0};
    uint64_t size = 0;
    bool operator==(const FileStamp &o) const
    {
        return exists == o.exists && size == o.size && written.dwLowDateTime == o.written.dwLowDateTime &&
               written.dwHighDateTime == o.written.dwHighDateTime;
    }
    bool operator!=(const FileStamp &o) const { return !(*this == o); }
};

class SimStore {
public:
    static SimStore &Instance();

    static std::string Folder();
    static std::string StatePath() { return Folder() + "\\state.ini"; }
    static std::string LogPath() { return Folder() + "\\calls.log"; }
    static FileStamp Stamp(const std::string &path);
    static int64_t Now();

    // Held for a scope; recursive on one thread.
    class Lock {
    public:
        Lock();
        ~Lock();
        Lock(const Lock &) = delete;
        Lock &operator=(const Lock &) = delete;

    private:
        HANDLE mutex_;
        bool owned_;
    };

    // The current state, re-read when state.ini changed. Call under a Lock.
    SimState &Current();
    // Writes the state (creating the folder) and keeps it as current. Under a Lock.
    bool Save(const SimState &state);
    // Appends text to calls.log (under the lock).
    void AppendLog(const std::string &text);
    bool ClearLog();

    // The language text, re-read when lang.ini changed; NULL when missing.
    // Looks in the state folder, then next to the DLL. Copies under the lock.
    bool LangLookup(const char *section, const char *key, std::string *out);

private:
    SimStore() = default;
    std::string folder_;
    FileStamp stamp_;
    SimState state_;
    bool loaded_ = false;
    std::string langPath_;
    FileStamp langStamp_;
    LangText lang_;
};

bool ReadWholeFile(const std::string &path, std::string *out, size_t limit);
bool CreateFolderTree(const std::string &path);
std::string ModuleFolder(HMODULE module);
