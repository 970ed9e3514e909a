#include "sim/core/LangText.h"

#include "common/Gbk.h"

static std::string Lower(const std::string &s)
{
    std::string out = s;
    for (size_t i = 0; i < out.size(); ++i) {
        if (GbkIsLeadByte((unsigned char)out[i])) {
            ++i;
            continue;
        }
        if (out[i] >= 'A' && out[i] <= 'Z')
            out[i] = (char)(out[i] - 'A' + 'a');
    }
    return out;
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

std::string UnescapeLangValue(const std::string &raw)
{
    std::string out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        unsigned char c = (unsigned char)raw[i];
        if (GbkIsLeadByte(c) && i + 1 < raw.size()) {
            out += raw[i];
            out += raw[++i];
            continue;
        }
        if (c == '\\' && i + 1 < raw.size()) {
            char n = raw[i + 1];
            if (n == 'n' || n == 't' || n == '\\') {
                out += n == 'n' ? '\n' : n == 't' ? '\t' : '\\';
                ++i;
                continue;
            }
        }
        out += raw[i];
    }
    return out;
}

void LangText::Parse(const std::string &text)
{
    texts_.clear();
    std::string section;
    size_t pos = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        pos = 3;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string::npos)
            eol = text.size();
        std::string line = Trim(text.substr(pos, eol - pos));
        pos = eol + 1;
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            size_t close = line.find(']');
            section = close == std::string::npos ? std::string() : Lower(Trim(line.substr(1, close - 1)));
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0 || section.empty())
            continue;
        std::string key = Lower(Trim(line.substr(0, eq)));
        texts_[section + '\x01' + key] = UnescapeLangValue(Trim(line.substr(eq + 1)));
    }
}

const std::string *LangText::Find(const std::string &section, const std::string &key) const
{
    auto it = texts_.find(Lower(section) + '\x01' + Lower(key));
    return it == texts_.end() ? NULL : &it->second;
}
