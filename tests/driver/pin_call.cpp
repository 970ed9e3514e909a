// pin_call DLL READER OLD NEW: one bare OC_ChangeUserPin call through the
// token library, the benchmark's baseline for the PIN page's apply.
// Prints the call's result and its time in milliseconds.
#include <windows.h>

#include <stdint.h>
#include <stdio.h>

typedef int(__stdcall *ChangeUserPinFn)(int, const char *, const char *, const char *, uint8_t *);

int main(int argc, char **argv)
{
    if (argc < 5) {
        fprintf(stderr, "usage: pin_call DLL READER OLD NEW\n");
        return 2;
    }
    HMODULE library = LoadLibraryA(argv[1]);
    ChangeUserPinFn change = library ? (ChangeUserPinFn)GetProcAddress(library, "OC_ChangeUserPin") : NULL;
    if (!change) {
        fprintf(stderr, "pin_call: no OC_ChangeUserPin in %s\n", argv[1]);
        return 1;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    uint8_t tries = 0;
    QueryPerformanceCounter(&start);
    int rc = change(0, argv[2], argv[3], argv[4], &tries);
    QueryPerformanceCounter(&end);
    printf("0x%08x\t%.1f\n", (unsigned)rc, (double)(end.QuadPart - start.QuadPart) * 1000.0 / (double)frequency.QuadPart);
    return rc == 0 ? 0 : 1;
}
