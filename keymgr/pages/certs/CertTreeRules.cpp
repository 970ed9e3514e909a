#include "keymgr/pages/certs/CertTreeRules.h"

#include "keymgr/library/CspControlBlock.h"

#include <stdio.h>

std::vector<CertTreeEntry> BuildCertTree(const uint8_t *block, size_t size)
{
    std::vector<CertTreeEntry> entries;
    for (int slot = 0; slot < CSP_RECORD_COUNT; ++slot) {
        CspContainerRecord record;
        if (!DecodeCspRecord(block, size, slot, &record) || record.inUse == 0)
            continue;
        uint32_t containerData = CERT_NODE_CONTAINER | (uint32_t)slot;
        if ((record.keyFlags & 1u) && record.exchangeCertLength != 0)
            entries.push_back(CertTreeEntry{record.name, containerData, CERT_NODE_EXCHANGE});
        if ((record.keyFlags & 2u) && record.signatureCertLength != 0)
            entries.push_back(CertTreeEntry{record.name, containerData, CERT_NODE_SIGNATURE});
    }
    return entries;
}

bool IsCertNode(uint32_t data)
{
    return (data & CERT_NODE_CERT_BIT) != 0;
}

bool IsContainerNode(uint32_t data)
{
    return !IsCertNode(data) && (data & ~0xFFFu) == CERT_NODE_CONTAINER;
}

int CertNodeKeySpec(uint32_t data)
{
    return (int)((data >> 16) & 0xF);
}

const char *CertNodeLabelKey(uint32_t data, bool twoRsa)
{
    if (!twoRsa)
        return "IDS_CERT";
    return CertNodeKeySpec(data) == CSP_KEY_SIGNATURE ? "IDS_SIGNATURE_CERT" : "IDS_KEYEXCHANGE_CERT";
}

std::string ContainerDetails(const std::string &open, const std::string &name, const std::string &close,
                             const std::vector<std::string> &childLabels)
{
    std::string text = open + name + close;
    for (size_t i = 0; i < childLabels.size(); ++i)
        text += "\r\n  " + childLabels[i];
    return text;
}

std::string CertDateText(const CertDate &date)
{
    char text[48];
    snprintf(text, sizeof(text), " %d-%d-%d ", date.year, date.month, date.day);
    return text;
}

std::string CertDetails(const CertDetailTexts &t, const std::string &subject, const std::string &issuer,
                        const CertDate &from, const CertDate &until)
{
    return t.issueTo + subject + "\r\n" + t.issuer + issuer + "\r\n" + t.validity + CertDateText(from) + t.to +
           CertDateText(until);
}
