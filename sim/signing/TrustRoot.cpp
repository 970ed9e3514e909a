// trustroot FILE.der: adds the certificate to the machine's trusted roots
// (test equipment: the test prefix trusts the test code-signing root).
#include <windows.h>
#include <wincrypt.h>

#include <stdio.h>

#include <vector>

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: trustroot FILE.der\n");
        return 2;
    }
    FILE *f = fopen(argv[1], "rb");
    if (!f) {
        fprintf(stderr, "trustroot: cannot open %s\n", argv[1]);
        return 1;
    }
    std::vector<BYTE> der(65536);
    size_t n = fread(der.data(), 1, der.size(), f);
    fclose(f);
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "ROOT");
    if (!store) {
        fprintf(stderr, "trustroot: cannot open the root store (%lu)\n", GetLastError());
        return 1;
    }
    BOOL ok = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), static_cast<DWORD>(n),
                                               CERT_STORE_ADD_REPLACE_EXISTING, NULL);
    if (!ok)
        fprintf(stderr, "trustroot: cannot add the certificate (%lu)\n", GetLastError());
    CertCloseStore(store, 0);
    return ok ? 0 : 1;
}
