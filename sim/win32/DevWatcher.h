// Device-change notification of the token command library: callbacks kept
// per reader, one watcher thread that polls the state (every 50 ms, looking
// at state.ini's time stamp first) and calls onInserted(context) or
// onRemoved(context) on its own thread when a registered reader's token
// comes or goes.
//
// The thread holds a reference on this DLL while it runs, so the DLL is
// never unmapped under it: it ends when every registration is withdrawn
// (QKSetDevChgFunc with two NULL callbacks), else with the process.
#pragma once

#include "keymgr/library/TokenEntries.h"

// present: the reader's token state at registration time.
void RegisterDevChg(const char *reader, TokDevChgFunc onInserted, TokDevChgFunc onRemoved, void *context,
                    bool present);
size_t DevChgRegistrations();
