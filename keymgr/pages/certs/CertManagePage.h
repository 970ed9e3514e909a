// The certificate page of the management sheet (template 138): the token's
// containers and certificates, their details and the system viewer.
#pragma once

#include "common/win32/window/PropertyPage.h"
#include "keymgr/library/CspControlBlock.h"
#include "keymgr/pages/certs/ViewerTempFiles.h"
#include "keymgr/shell/token/CurrentToken.h"

#include <stdint.h>

#include <string>
#include <vector>

class CCertManagePage : public CPropertyPage {
public:
    CCertManagePage();
    ~CCertManagePage() override;
    void Activate();

protected:
    INT_PTR RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnInitPage() override;
    LRESULT OnSetActive() override;

private:
    void FillTree();
    void SelectionChanged();
    void ShowCertificate(HTREEITEM item, uint32_t data);
    void ViewCertificate();
    void ClearTree();
    uint32_t SelectedData(HTREEITEM *item);
    // The name of the container a node's data names; NULL for other data.
    const std::string *SlotName(uint32_t containerData) const;

    uint8_t *m_cert;        // the certificate of the selected node
    uint32_t m_certLength;  // 0 when no readable certificate is held
    char m_reader[READER_NAME_SIZE];                // the token the tree was filled from
    std::string m_slotNames[CSP_RECORD_COUNT];      // its container names, by slot
    HIMAGELIST m_images;
    SIZE m_treeSize, m_detailsSize;
    ViewerTempFiles m_viewed;
};
