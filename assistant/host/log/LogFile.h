// The assistant's log file next to the program.
#pragma once

#include "assistant/engine/run/ResultChannel.h"

#include <windows.h>

#include <string>

class CLogFile : public ILog {
public:
    CLogFile() : m_file(INVALID_HANDLE_VALUE) {}
    ~CLogFile() override { Close(); }

    // Opens or creates the file and empties it; others may read it. False
    // when it cannot be opened or is not one plain file with a single name
    // (a link or junction planted there): the log then stays off.
    bool Open(const std::string &path);
    void Close();
    bool IsOpen() const { return m_file != INVALID_HANDLE_VALUE; }
    // Appends "----", the text and CR LF, and flushes.
    void WriteLog(const char *text) override;
    // Cuts the file to length 0 (the full check starts a fresh log).
    void Empty();

private:
    HANDLE m_file;
};

// The program's own path with "log" in place of its last three characters.
std::string ProgramLogPath();
