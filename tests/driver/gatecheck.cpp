// gatecheck FILE...: the assistant's signature gate, with the signer pin this
// build carries, on each file: prints "trusted" or "refused", a tab and the
// file, one a line; exits 0 only when every file is trusted.
#include "assistant/engine/win32/install/SignatureGate.h"

#include <stdio.h>

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: gatecheck FILE...\n");
        return 2;
    }
    int refused = 0;
    for (int i = 1; i < argc; ++i) {
        bool trusted = IsSignedByPinnedSigner(argv[i], BuiltInSignerPin());
        printf("%s\t%s\n", trusted ? "trusted" : "refused", argv[i]);
        if (!trusted)
            ++refused;
    }
    return refused ? 1 : 0;
}
