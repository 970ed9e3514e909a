#include "sim/win32/SimEntry.h"

#include <windows.h>

std::string AnsiToUtf8(const std::string &ansi)
{
    if (ansi.empty())
        return ansi;
    int wide = MultiByteToWideChar(CP_ACP, 0, ansi.data(), (int)ansi.size(), NULL, 0);
    if (wide <= 0)
        return ansi;
    std::wstring w((size_t)wide, L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), (int)ansi.size(), &w[0], wide);
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, NULL, 0, NULL, NULL);
    if (n <= 0)
        return ansi;
    std::string out((size_t)n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, &out[0], n, NULL, NULL);
    return out;
}
