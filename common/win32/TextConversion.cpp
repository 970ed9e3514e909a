#include "common/win32/TextConversion.h"

std::string WideToAnsiText(const wchar_t *text, int length)
{
    if (!text || length == 0)
        return std::string();
    int n = WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, NULL, 0, NULL, NULL);
    if (n <= 0)
        return std::string();
    std::string out(n, '\0');
    WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, &out[0], n, NULL, NULL);
    if (length < 0)
        out.resize(n - 1);
    return out;
}

std::wstring AnsiToWideText(const std::string &text)
{
    if (text.empty())
        return std::wstring();
    int n = MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()), NULL, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}
