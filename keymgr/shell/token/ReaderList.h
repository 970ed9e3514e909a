// The reader list of the token command library: NUL-terminated names ended
// by an empty name, at most as many as the library counted.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

class ReaderList {
public:
    // Takes a copy of size bytes; the copy is always terminated twice, so a
    // list the library did not end properly cannot be walked past its end.
    void Assign(const char *multiString, size_t size, uint32_t count);
    void Clear();
    bool Empty() const { return m_names.empty(); }

    // Names in order, at most the reported count of them.
    size_t Size() const { return m_names.size(); }
    const char *Name(size_t i) const { return &m_buffer[m_names[i]]; }
    bool Contains(const char *name) const;
    // The names of this list that other does not hold, in this list's order.
    ReaderList Without(const ReaderList &other) const;
    bool SameNames(const ReaderList &other) const;
    // The whole multi-string, for the calls that take the list.
    const char *MultiString() const { return m_buffer.empty() ? "\0" : &m_buffer[0]; }

private:
    std::vector<char> m_buffer;
    std::vector<size_t> m_names;
};
