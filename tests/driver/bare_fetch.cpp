// bare_fetch URL N: N fetches of URL to a temporary file, each after removing
// it from the browser cache, and nothing else: the benchmark's floor for a
// check that fetches the version file that many times.
#include <windows.h>
#include <urlmon.h>
#include <wininet.h>

#include <stdio.h>
#include <stdlib.h>

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: bare_fetch URL N\n");
        return 2;
    }
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    lstrcatA(temp, "bare_fetch.ini");
    CoInitialize(NULL);
    int failed = 0;
    for (int i = 0, n = atoi(argv[2]); i < n; ++i) {
        DeleteUrlCacheEntryA(argv[1]);
        DeleteFileA(temp);
        if (FAILED(URLDownloadToFileA(NULL, argv[1], temp, 0, NULL)))
            ++failed;
    }
    DeleteFileA(temp);
    CoUninitialize();
    return failed ? 1 : 0;
}
