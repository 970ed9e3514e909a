// Replacing a file that users keep in one step, so that a reader sees the
// old file or the new one, never half of each.
#pragma once

// Moves from over to (same volume); waits up to half a second for a reader
// that has the old file open. false, with the temporary file left to the
// caller, when it cannot.
bool ReplaceWholeFile(const char *from, const char *to);
