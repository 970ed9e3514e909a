// The assistant's log: where it lives and what one entry looks like.
#pragma once

#include <string>

// "----" + text + CR LF.
std::string FormatLogEntry(const char *text);

// The program path with its last three characters replaced by "log";
// empty when the path is too short to have them.
std::string LogPathFromProgramPath(const std::string &programPath);

// What the opened log file is, as the file system reports it through the handle.
struct LogFileFacts {
    unsigned long attributes;  // FILE_ATTRIBUTE_* bits
    unsigned long links;       // names the file has
    bool onDisk;               // a disk file, not a device or pipe
};

// The administrator process empties and writes the file: only one plain disk
// file with exactly one name, so that a hard link, a junction or a device
// planted under the log's name never redirects that write.
bool IsPlainLogFile(const LogFileFacts &facts);
