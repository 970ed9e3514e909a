#include "assistant/host/startup/StartMode.h"

#include <string>

namespace {

bool SameWord(const std::string &word, const char *name)
{
    size_t i = 0;
    for (; i < word.size() && name[i]; ++i) {
        char a = word[i], b = name[i];
        if (a >= 'A' && a <= 'Z')
            a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z')
            b = static_cast<char>(b - 'A' + 'a');
        if (a != b)
            return false;
    }
    return i == word.size() && name[i] == '\0';
}

// The next blank-separated word; a quoted word keeps its blanks.
bool NextWord(const char *&p, std::string &word)
{
    while (*p == ' ' || *p == '\t')
        ++p;
    if (!*p)
        return false;
    word.clear();
    bool quoted = false;
    for (; *p; ++p) {
        if (*p == '"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && (*p == ' ' || *p == '\t'))
            break;
        word += *p;
    }
    return true;
}

}  // namespace

StartMode ParseStartMode(const char *commandLine)
{
    StartMode mode = StartMode::Interface;
    const char *p = commandLine ? commandLine : "";
    std::string word;
    while (NextWord(p, word)) {
        if (word.size() < 2 || (word[0] != '/' && word[0] != '-'))
            continue;
        std::string name = word.substr(1);
        if (SameWord(name, "Embedding") || SameWord(name, "Automation"))
            mode = StartMode::Embedding;
        else if (SameWord(name, "Regserver") || SameWord(name, "Register"))
            mode = StartMode::Register;
        else if (SameWord(name, "Unregserver") || SameWord(name, "Unregister"))
            mode = StartMode::Unregister;
    }
    return mode;
}
