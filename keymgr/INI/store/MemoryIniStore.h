// An in-memory store with the platform's profile semantics (case-blind
// names, trimmed values, matching quotes stripped on read, cut values and
// lists). Files are told apart by their path.
#pragma once

#include "keymgr/INI/store/IniStore.h"

#include <map>
#include <string>
#include <vector>

class CMemoryIniStore : public IIniStore {
public:
    size_t GetString(const char *section, const char *key, const char *def, char *buffer, size_t size,
                     const char *file) override;
    size_t GetSection(const char *section, char *buffer, size_t size, const char *file) override;
    size_t GetSectionNames(char *buffer, size_t size, const char *file) override;
    bool WriteString(const char *section, const char *key, const char *value, const char *file) override;
    bool WriteSection(const char *section, const char *lines, const char *file) override;

    void Clear() { m_files.clear(); }

private:
    struct Entry {
        std::string key;
        std::string value;
        bool hasValue = false;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    typedef std::vector<Section> File;

    File *FindFile(const char *file);
    Section *FindSection(File *f, const char *section);
    static Entry *FindEntry(Section *s, const char *key);

    std::map<std::string, File> m_files;
};
