#include "assistant/engine/version/PackageVersion.h"

#include "assistant/engine/version/VersionRules.h"

#include <stdio.h>

namespace {
// Every read is bounded by the file; offsets come from the file itself.
class Bytes {
public:
    Bytes(const unsigned char *data, size_t size) : m_data(data), m_size(size) {}
    bool Has(size_t at, size_t n) const { return at <= m_size && n <= m_size - at; }
    uint16_t U16(size_t at) const { return Has(at, 2) ? uint16_t(m_data[at] | m_data[at + 1] << 8) : 0; }
    uint32_t U32(size_t at) const { return Has(at, 4) ? uint32_t(U16(at)) | uint32_t(U16(at + 2)) << 16 : 0; }

private:
    const unsigned char *m_data;
    size_t m_size;
};

const uint32_t kRtVersion = 16;
const uint32_t kSubdirectory = 0x80000000u;
const uint32_t kFixedSignature = 0xFEEF04BDu;

// The file offset of an address of the loaded image; false outside every section.
bool FileOffset(const Bytes &b, size_t sections, unsigned count, uint32_t rva, size_t *offset)
{
    for (unsigned i = 0; i < count; ++i) {
        size_t s = sections + size_t(i) * 40;
        if (!b.Has(s, 40))
            return false;
        uint32_t size = b.U32(s + 8) > b.U32(s + 16) ? b.U32(s + 8) : b.U32(s + 16);
        uint32_t start = b.U32(s + 12);
        if (rva >= start && rva - start < size) {
            *offset = size_t(b.U32(s + 20)) + (rva - start);
            return true;
        }
    }
    return false;
}

// The first entry of a resource directory with the id wanted (any id for
// 0), as the offset it names within the resource section.
bool FindEntry(const Bytes &b, size_t dir, uint32_t wanted, uint32_t *target)
{
    if (!b.Has(dir, 16))
        return false;
    unsigned named = b.U16(dir + 12), ids = b.U16(dir + 14);
    for (unsigned i = 0; i < named + ids; ++i) {
        size_t e = dir + 16 + size_t(i) * 8;
        if (!b.Has(e, 8))
            return false;
        uint32_t name = b.U32(e);
        bool isId = !(name & kSubdirectory);
        if (wanted == 0 || (isId && name == wanted)) {
            *target = b.U32(e + 4);
            return true;
        }
    }
    return false;
}
}  // namespace

bool ReadPackageFileVersion(const unsigned char *data, size_t size, uint16_t (&version)[4])
{
    Bytes b(data, size);
    if (!data || b.U16(0) != 0x5A4D)  // "MZ"
        return false;
    size_t pe = b.U32(0x3C);
    if (b.U32(pe) != 0x00004550)  // "PE\0\0"
        return false;
    unsigned sectionCount = b.U16(pe + 6);
    size_t optional = pe + 24;
    size_t optionalSize = b.U16(pe + 20);
    uint16_t magic = b.U16(optional);
    size_t directories = magic == 0x10b ? optional + 96 : magic == 0x20b ? optional + 112 : 0;
    size_t directoryCount = magic == 0x10b ? b.U32(optional + 92) : b.U32(optional + 108);
    if (!directories || directoryCount < 3 || !b.Has(directories + 2 * 8, 8))
        return false;
    size_t sections = optional + optionalSize;
    size_t root = 0;
    if (!FileOffset(b, sections, sectionCount, b.U32(directories + 2 * 8), &root))
        return false;
    // Type, then name, then language: the first version resource there is.
    uint32_t at = 0;
    if (!FindEntry(b, root, kRtVersion, &at) || !(at & kSubdirectory))
        return false;
    if (!FindEntry(b, root + (at & ~kSubdirectory), 0, &at) || !(at & kSubdirectory))
        return false;
    if (!FindEntry(b, root + (at & ~kSubdirectory), 0, &at) || (at & kSubdirectory))
        return false;
    size_t entry = root + at, info = 0;
    if (!b.Has(entry, 16) || !FileOffset(b, sections, sectionCount, b.U32(entry), &info))
        return false;
    // VS_VERSIONINFO: lengths, type, L"VS_VERSION_INFO", padding, then the
    // fixed information (signature, structure version, file version).
    static const char kKey[] = "VS_VERSION_INFO";
    for (size_t i = 0; i < sizeof(kKey); ++i)
        if (b.U16(info + 6 + 2 * i) != uint16_t(static_cast<unsigned char>(kKey[i])))
            return false;
    size_t fixed = info + 40;
    if (b.U16(info + 2) < 52 || !b.Has(fixed, 52) || b.U32(fixed) != kFixedSignature)
        return false;
    uint32_t ms = b.U32(fixed + 8), ls = b.U32(fixed + 12);
    version[0] = uint16_t(ms >> 16);
    version[1] = uint16_t(ms & 0xFFFF);
    version[2] = uint16_t(ls >> 16);
    version[3] = uint16_t(ls & 0xFFFF);
    return true;
}

std::string PackageVersionForm(const uint16_t (&v)[4])
{
    char dotted[32];
    snprintf(dotted, sizeof(dotted), "%u.%u.%u.%u", v[0], v[1], v[2], v[3]);
    return NormaliseInstalledVersion(dotted).substr(0, 8);
}
