#include "sim/core/StateFile.h"

#include "sim/core/SimKeys.h"

#include <stdio.h>
#include <stdlib.h>

enum { MAX_STATE_TEXT = 8 * 1024 * 1024, MAX_LINE = 64 * 1024, MAX_WARNINGS = 50 };

std::string EscapeValue(const std::string &raw)
{
    std::string out;
    // A blank at the end would be lost when the line is trimmed on reading.
    size_t keep = raw.size();
    while (keep > 0 && raw[keep - 1] == ' ')
        --keep;
    for (size_t i = 0; i < raw.size(); ++i) {
        unsigned char c = raw[i];
        if (i >= keep)
            out += "\\x20";
        else if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c < 0x20 || c == 0x7F) {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else
            out += (char)c;
    }
    return out;
}

static int HexDigit(char c)
{
    return (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
}

std::string UnescapeValue(const std::string &s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 >= s.size()) {
            out += s[i];
            continue;
        }
        char n = s[i + 1];
        if (n == '\\' || n == 'n' || n == 'r') {
            out += n == 'n' ? '\n' : n == 'r' ? '\r' : '\\';
            ++i;
        } else if (n == 'x' && i + 3 < s.size() && HexDigit(s[i + 2]) >= 0 && HexDigit(s[i + 3]) >= 0) {
            out += (char)(HexDigit(s[i + 2]) * 16 + HexDigit(s[i + 3]));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

static void AppendSection(std::string &out, const std::string &name, const KeyValues &kv)
{
    out += "[" + name + "]\r\n";
    for (const auto &p : kv)
        out += p.first + "=" + EscapeValue(p.second) + "\r\n";
    out += "\r\n";
}

std::string WriteStateText(const SimState &state)
{
    std::string out = "; tokensim state: change it with tokensim.exe (init, insert, remove, set)\r\n";
    KeyValues config = ConfigKeyValues(state.config);
    config.push_back({"ReaderCount", std::to_string(state.readers.size())});
    AppendSection(out, "config", config);
    for (size_t i = 0; i < state.readers.size(); ++i)
        AppendSection(out, "reader" + std::to_string(i), ReaderKeyValues(state.readers[i]));
    out += "[end]\r\n";
    return out;
}

static void Warn(SimState &s, const std::string &text)
{
    if (s.warnings.size() < MAX_WARNINGS)
        s.warnings.push_back(text);
    else if (s.warnings.size() == MAX_WARNINGS)
        s.warnings.push_back("(further warnings left out)");
}

static std::string Trim(const std::string &s)
{
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r'))
        --e;
    return s.substr(b, e - b);
}

SimState ParseStateText(const std::string &input, int64_t now)
{
    SimState s;
    s.config = DefaultConfig();
    if (input.empty()) {
        s = FreshState(1, now);
        return s;
    }
    std::string text = input;
    if (text.size() > MAX_STATE_TEXT) {
        Warn(s, "state file larger than 8 MiB: only its start was read");
        text.resize(MAX_STATE_TEXT);
    }

    enum { NONE, CONFIG, READER, SKIP } section = NONE;
    std::vector<Reader> slots(SIM_MAX_READERS);
    std::vector<bool> seen(SIM_MAX_READERS, false);
    int current = -1;
    bool sawEnd = false, sawSection = false;
    long declaredCount = -1;
    size_t lineNo = 0, pos = 0;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string::npos)
            eol = text.size();
        std::string raw = text.substr(pos, eol - pos);
        pos = eol + 1;
        ++lineNo;
        std::string where = "line " + std::to_string(lineNo) + ": ";
        if (raw.size() > MAX_LINE) {
            Warn(s, where + "too long, ignored");
            continue;
        }
        if (raw.find('\0') != std::string::npos) {
            Warn(s, where + "holds NUL bytes, ignored");
            continue;
        }
        std::string line = Trim(raw);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[') {
            size_t close = line.find(']');
            std::string name = close == std::string::npos ? "" : line.substr(1, close - 1);
            sawSection = true;
            if (name == "config") {
                section = CONFIG;
            } else if (name == "end") {
                sawEnd = true;
                section = SKIP;
            } else if (name.compare(0, 6, "reader") == 0 && name.size() > 6 && name.size() <= 8 &&
                       name.find_first_not_of("0123456789", 6) == std::string::npos &&
                       atoi(name.c_str() + 6) < SIM_MAX_READERS) {
                current = atoi(name.c_str() + 6);
                if (!seen[current]) {
                    seen[current] = true;
                    slots[current] = DefaultReader(s.config, (size_t)current, now);
                    slots[current].present = false;
                }
                section = READER;
            } else {
                Warn(s, where + "unknown section [" + name + "], skipped");
                section = SKIP;
            }
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) {
            Warn(s, where + "not KEY=VALUE, ignored");
            continue;
        }
        std::string key = Trim(line.substr(0, eq));
        std::string value = UnescapeValue(line.substr(eq + 1));
        std::string error;
        if (section == CONFIG) {
            if (key == "ReaderCount") {
                declaredCount = atol(value.c_str());
                continue;
            }
            if (!SetConfigKey(s.config, key, value, &error))
                Warn(s, where + error);
        } else if (section == READER) {
            if (!SetReaderKey(slots[current], key, value, now, &error))
                Warn(s, where + "reader" + std::to_string(current) + ": " + error);
        } else if (section == NONE) {
            Warn(s, where + "value outside any section, ignored");
        }
    }

    for (int i = 0; i < SIM_MAX_READERS; ++i)
        if (seen[i]) {
            if (FindReader(s, slots[i].name) >= 0)
                Warn(s, "reader" + std::to_string(i) + ": name \"" + slots[i].name + "\" used twice");
            s.readers.push_back(slots[i]);
        }
    if (!sawSection) {
        Warn(s, "no sections found: the file is not a tokensim state; defaults used");
        s = FreshState(1, now);
        Warn(s, "no sections found: the file is not a tokensim state; defaults used");
        return s;
    }
    if (!sawEnd)
        Warn(s, "the file ends early (no [end] line): values after the cut are defaults");
    if (declaredCount >= 0 && (size_t)declaredCount != s.readers.size())
        Warn(s, "ReaderCount says " + std::to_string(declaredCount) + " but " + std::to_string(s.readers.size()) +
                    " reader sections were read");
    if (s.readers.empty() && declaredCount != 0) {
        Warn(s, "no reader could be read: one empty reader assumed");
        s.readers.push_back(DefaultReader(s.config, 0, now));
    }
    return s;
}
