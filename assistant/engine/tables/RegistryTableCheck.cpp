#include "assistant/engine/tables/RegistryTableCheck.h"

#include <stdio.h>
#include <string.h>

static const char kZanvoProviderKey[] =
    "SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\Zanvo Cryptographic Service Provider";

// Bytes of a raw value compared when it is neither a DWORD nor a path.
static const size_t kRawCompareBytes = 136;

const char *RegistryRootName(uint32_t root)
{
    switch (root) {
    case kRootLocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case kRootClassesRoot:
        return "HKEY_CLASSES_ROOT";
    case kRootCurrentUser:
        return "HKEY_CURRENT_USER";
    default:
        return "";
    }
}

static std::string BoundedText(const void *bytes, size_t size)
{
    const char *text = static_cast<const char *>(bytes);
    return std::string(text, strnlen(text, size));
}

static bool IsTextType(uint32_t type)
{
    return type == kRegSz || type == kRegExpandSz;
}

// Command lines are often stored quoted; the comparison ignores the quotes.
static std::string StripQuotes(std::string text)
{
    if (!text.empty() && text.back() == '"')
        text.pop_back();
    if (!text.empty() && text.front() == '"')
        text.erase(0, 1);
    return text;
}

static void LogEntryMessage(ILog &log, const char *format, const RegCheckEntry &entry)
{
    char line[1024];
    snprintf(line, sizeof(line), format, RegistryRootName(entry.RootKey), BoundedText(entry.SubKey, kRegCheckTextSize).c_str(),
             BoundedText(entry.ValueName, kRegCheckTextSize).c_str());
    log.WriteLog(line);
}

int RegistryTableCheck::CheckRegistryTable(RegCheckEntry *entries, int count, int vendorFlag)
{
    if (!entries || count <= 0 || entries[0].RootKey == 0)
        return 1;
    for (int i = 0; i < count; ++i) {
        if (!CheckEntry(entries[i], vendorFlag))
            return 0;
    }
    return 1;
}

bool RegistryTableCheck::CheckEntry(RegCheckEntry &entry, int vendorFlag)
{
    std::string subKey = BoundedText(entry.SubKey, sizeof(entry.SubKey));
    std::unique_ptr<IRegistryKey> key = m_registry.OpenKey(entry.RootKey, subKey.c_str());
    if (!key) {
        LogEntryMessage(m_log, "打开\"%s\\%s\"失败！", entry);
        return false;
    }
    std::string valueName = BoundedText(entry.ValueName, sizeof(entry.ValueName));
    if (valueName.empty()) {
        memset(entry.ReadBuffer, 0, sizeof(entry.ReadBuffer));
        return true;
    }

    memset(entry.ReadBuffer, 0, sizeof(entry.ReadBuffer));
    uint32_t wanted = entry.ValueType;
    uint32_t size = entry.ValueType == kRegDword ? 4 : sizeof(entry.ReadBuffer);
    uint32_t type = kRegNone;
    if (key->QueryValue(valueName.c_str(), &type, entry.ReadBuffer, &size) != RegStatus::Ok) {
        LogEntryMessage(m_log, "读取键值\"%s\\%s\\%s\"失败！", entry);
        return false;
    }
    // A number stored as four binary bytes is compared as the number.
    entry.ValueType = wanted == kRegDword && IsNumberValue(type, size) ? kRegDword : type;
    type = entry.ValueType;

    std::string text;
    if (IsTextType(type)) {
        text = StripQuotes(BoundedText(entry.ReadBuffer, size < sizeof(entry.ReadBuffer) ? size : sizeof(entry.ReadBuffer)));
        memset(entry.ReadBuffer, 0, sizeof(entry.ReadBuffer));
        memcpy(entry.ReadBuffer, text.data(), text.size());
    } else {
        text = BoundedText(entry.ReadBuffer, sizeof(entry.ReadBuffer));
    }

    // An empty text or four zero bytes in place of a DWORD 0 would match the
    // zeroed buffer: a value of another type than the table's never matches.
    bool sameType = IsTextType(wanted) ? IsTextType(type) : type == wanted;
    if (entry.CompareValue == 1 && (!sameType || !DataMatches(entry, text, vendorFlag))) {
        LogEntryMessage(m_log, "比对键值\"%s\\%s\\%s\"失败！", entry);
        return false;
    }
    memset(entry.ReadBuffer, 0, sizeof(entry.ReadBuffer));
    return true;
}

bool RegistryTableCheck::DataMatches(RegCheckEntry &entry, const std::string &text, int vendorFlag)
{
    std::string expected = BoundedText(entry.Expected, sizeof(entry.Expected));
    std::string valueName = BoundedText(entry.ValueName, sizeof(entry.ValueName));
    const char *moduleName = vendorFlag == 1           ? "\\vk820aCSP_LCCB_s.dll"
                             : valueName == "realPath" ? "\\OstraCSP20407.dll"
                                                       : "\\OstraCSP20407\\OstraCSP.dll";
    if (entry.IsCommandLine == 1) {
        std::string prefix = vendorFlag == 1 ? "control.exe \"" : "";
        return text == prefix + ModuleFolder(vendorFlag) + expected;
    }
    if (expected == moduleName)
        return text == ModuleFolder(vendorFlag) + expected;
    size_t bytes = entry.ValueType == kRegDword ? 4 : kRawCompareBytes;
    return memcmp(entry.ReadBuffer, entry.Expected, bytes) == 0;
}

std::string RegistryTableCheck::ModuleFolder(int vendorFlag)
{
    if (vendorFlag == 1)
        return m_folders.SystemDirectory();
    std::unique_ptr<IRegistryKey> key = m_registry.OpenKey(kRootLocalMachine, kZanvoProviderKey);
    char path[kRegCheckTextSize];
    if (!key || !ReadRegistryString(*key, "realPath", path, sizeof(path)))
        return std::string();
    const char *slash = strrchr(path, '\\');
    return slash ? std::string(path, slash - path) : std::string();
}
