// One line of calls.log: "<Entry>\t<arg>\t...\t=> 0x<result>".
// Texts as they are (tabs and line breaks escaped), NULL as "NULL", numbers
// decimal, output buffers "buf", pure out pointers "out", callbacks "cb",
// input bytes as hex.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

class CallLogLine {
public:
    explicit CallLogLine(const char *entry);
    CallLogLine &Text(const char *text);
    CallLogLine &Number(int64_t value);
    CallLogLine &Word(const char *word);                        // "buf", "out", "cb", ...
    CallLogLine &Pointer(const void *p, const char *word);      // word, or NULL
    CallLogLine &InValue(const uint32_t *p);                    // *p in decimal, or NULL
    CallLogLine &Data(const uint8_t *data, uint32_t length);    // hex, at most 64 bytes shown
    std::string Finish(uint32_t result) const;                  // with LF

private:
    std::string line_;
};
