// Where the assistant puts what it runs: one folder under the machine's
// common application data that only administrators and SYSTEM can write,
// so no program of the user can change or plant a file between its check
// and its start. Never the user's Temp.
#pragma once

#include <string>

// The folder's owner and access list (administrators and SYSTEM only, not
// inherited from the parent), in the system's descriptor text form.
extern const char kWorkFolderSecurity[];

// <common application data>\Orvane_Assistant\Work\ made, or secured again
// when it exists, and emptied of leftovers; "" when it cannot be made safe.
std::string PrepareWorkFolder();
// The same under base (a folder that exists), for tests.
std::string PrepareWorkFolderUnder(const std::string &base);
