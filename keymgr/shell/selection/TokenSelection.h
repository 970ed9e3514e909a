// The rules of the main view that need no window: which tokens are listed
// and what the current-token record holds for the selected one.
#pragma once

#include "keymgr/shell/token/ReaderList.h"

#include <stdint.h>

#include <string>
#include <vector>

enum { MAX_LISTED_TOKENS = 10 };

// Walks the reader list: present tokens are listed (with PIN-code checking
// on, only those whose code matches, which are recorded as verified). More
// than ten tokens, or a failing state query, stops the walk with the error;
// what was listed so far stays in listed.
uint32_t ListPresentTokens(const ReaderList &readers, std::vector<std::string> &listed);

enum SelectionOutcome {
    SELECTION_READ,
    SELECTION_DEFAULT_PIN_REFUSED, // the library's default PIN did not verify
};

// Reads the selected token's label into SelLabel (length 34 into the
// 36-byte buffer); false when the library refuses.
bool ReadSelectedLabel();

// Selection handler steps 1-4: makes reader the current token and reads its
// properties into the record, each with its fall-back.
SelectionOutcome ReadSelectedToken(const char *reader);
