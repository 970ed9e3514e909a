// The one guarded way to call an outside entry point: an empty slot is never
// called; the call yields TOK_ERR_UNAVAILABLE (or NULL / 0) instead.
//   uint32_t state; int rc = Tok::OC_GetHWApp(0, reader, &state);
#pragma once

#include "keymgr/library/TokenBinding.h"

template <typename R> struct TokUnavailable {
    static R value() { return (R)TOK_ERR_UNAVAILABLE; }
};
template <> struct TokUnavailable<const char *> {
    static const char *value() { return NULL; }
};
template <> struct TokUnavailable<uint32_t> {
    static uint32_t value() { return 0; }
};

inline bool TokenEntryAvailable(TokenEntry entry)
{
    return ProcessTokenTable().slots[entry] != NULL;
}

template <typename Fn, typename R, typename... A> inline R CallTokenEntry(TokenEntry entry, R unavailable, A... args)
{
    void *slot = ProcessTokenTable().slots[entry];
    if (!slot)
        return unavailable;
    return reinterpret_cast<Fn>(slot)(args...);
}

namespace Tok {
#define TOKEN_ENTRY_CALL(row, name, lib, ret, params)                                                        \
    template <typename... A> inline ret name(A... args)                                                     \
    {                                                                                                        \
        return CallTokenEntry<PFN_TOK_##name, ret>(TE_##name, TokUnavailable<ret>::value(), args...);        \
    }
TOKEN_ENTRY_TABLE(TOKEN_ENTRY_CALL)
#undef TOKEN_ENTRY_CALL
} // namespace Tok

// Copies a language text at once (callers never keep the library's pointer).
// A missing text or service gives an empty string.
size_t LoadText(const char *section, const char *key, char *out, size_t size);
