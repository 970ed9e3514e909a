// lang.ini: the language texts, GBK, one "[Section]" per window and
// "KEY=text" lines. In a text "\n" stands for a line break, "\t" for a tab
// and "\\" for a backslash; GBK trail bytes are never taken for escapes.
// Sections and keys are matched without regard to ASCII case.
#pragma once

#include <map>
#include <string>

class LangText {
public:
    void Parse(const std::string &fileText);
    // NULL when the key is missing.
    const std::string *Find(const std::string &section, const std::string &key) const;
    size_t Count() const { return texts_.size(); }

private:
    std::map<std::string, std::string> texts_; // "section\x01key" (lower case) -> text
};

std::string UnescapeLangValue(const std::string &raw);
