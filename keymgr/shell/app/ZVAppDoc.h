// The document of the single-document frame: one integer and a title.
#pragma once

#include "keymgr/shell/StartupNames.h"

class CZVAppDoc {
public:
    CZVAppDoc() : m_value(0) { m_title[0] = '\0'; }
    // A new document takes the program's title.
    void OnNewDocument();
    const char *GetTitle() const { return m_title; }
    int GetValue() const { return m_value; }
    void SetValue(int value) { m_value = value; }

private:
    int m_value;
    char m_title[NAME_BUFFER_SIZE];
};
