#include "assistant/host/protocol/OwnModulePath.h"

#include <windows.h>

std::string Utf8Text(const wchar_t *text)
{
    if (!text || !*text)
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, -1, NULL, 0, NULL, NULL);
    if (n <= 1)
        return std::string();
    std::string out(n, '\0');
    if (!WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, -1, &out[0], n, NULL, NULL))
        return std::string();
    out.resize(n - 1);
    return out;
}

ModulePath OwnModulePath()
{
    ModulePath own;
    wchar_t path[1024];
    DWORD n = GetModuleFileNameW(NULL, path, sizeof(path) / sizeof(path[0]));
    if (n == 0 || n >= sizeof(path) / sizeof(path[0]))
        return own;
    path[n] = L'\0';
    own.unicode = Utf8Text(path);
    // A path with a character the code page lacks has no ANSI form.
    char ansi[2048];
    BOOL substituted = FALSE;
    int bytes = WideCharToMultiByte(CP_ACP, 0, path, -1, ansi, sizeof(ansi), NULL, &substituted);
    if (bytes > 1 && !substituted)
        own.ansi.assign(ansi, bytes - 1);
    return own;
}
