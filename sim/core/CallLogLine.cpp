#include "sim/core/CallLogLine.h"

#include <stdio.h>
#include <string.h>

CallLogLine::CallLogLine(const char *entry) : line_(entry ? entry : "?") {}

CallLogLine &CallLogLine::Text(const char *text)
{
    line_ += '\t';
    if (!text) {
        line_ += "NULL";
        return *this;
    }
    size_t n = strnlen(text, 4096);
    for (size_t i = 0; i < n; ++i) {
        char c = text[i];
        if (c == '\t')
            line_ += "\\t";
        else if (c == '\n')
            line_ += "\\n";
        else if (c == '\r')
            line_ += "\\r";
        else
            line_ += c;
    }
    return *this;
}

CallLogLine &CallLogLine::Number(int64_t value)
{
    line_ += '\t';
    line_ += std::to_string(value);
    return *this;
}

CallLogLine &CallLogLine::Word(const char *word)
{
    line_ += '\t';
    line_ += word;
    return *this;
}

CallLogLine &CallLogLine::Pointer(const void *p, const char *word)
{
    return Word(p ? word : "NULL");
}

CallLogLine &CallLogLine::InValue(const uint32_t *p)
{
    return p ? Number(*p) : Word("NULL");
}

CallLogLine &CallLogLine::Data(const uint8_t *data, uint32_t length)
{
    if (!data)
        return Word("NULL");
    line_ += '\t';
    char hex[4];
    for (uint32_t i = 0; i < length && i < 64; ++i) {
        snprintf(hex, sizeof hex, "%02X", data[i]);
        line_ += hex;
    }
    if (length > 64)
        line_ += "...";
    return *this;
}

std::string CallLogLine::Finish(uint32_t result) const
{
    char tail[24];
    snprintf(tail, sizeof tail, "\t=> 0x%X\n", result);
    return line_ + tail;
}
