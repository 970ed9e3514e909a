// The certificate page's tree, read from the CSP control block, and the
// texts of its details box.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

enum : uint32_t {
    CERT_NODE_CONTAINER = 0x1000,
    CERT_NODE_EXCHANGE = 0x110000,
    CERT_NODE_SIGNATURE = 0x120000,
    CERT_NODE_CERT_BIT = 0x100000,
};

// One root node and its one certificate node.
struct CertTreeEntry {
    std::string containerName;
    uint32_t containerData; // CERT_NODE_CONTAINER | slot
    uint32_t certData;      // CERT_NODE_EXCHANGE or CERT_NODE_SIGNATURE
};

// Slot order, key exchange before signature; a slot not in use, a key flag
// without a length or a length without its flag gives nothing.
std::vector<CertTreeEntry> BuildCertTree(const uint8_t *block, size_t size);

bool IsCertNode(uint32_t data);
bool IsContainerNode(uint32_t data);
// The key specification for OC_ReadCert (1 exchange, 2 signature).
int CertNodeKeySpec(uint32_t data);

// The label key of a certificate node by ZRGetTwoRSAType's flag.
const char *CertNodeLabelKey(uint32_t data, bool twoRsa);

std::string ContainerDetails(const std::string &open, const std::string &name, const std::string &close,
                             const std::vector<std::string> &childLabels);

struct CertDate {
    int year, month, day;
};

// " 2011-3-5 ": no leading zeros, one blank either side.
std::string CertDateText(const CertDate &date);

struct CertDetailTexts {
    std::string issueTo, issuer, validity, to;
};

std::string CertDetails(const CertDetailTexts &texts, const std::string &subject, const std::string &issuer,
                        const CertDate &from, const CertDate &until);
