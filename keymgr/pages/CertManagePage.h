// The certificate page of the management sheet (template 138): the token's
// containers and certificates, their details and the system viewer.
#pragma once

#include "common/PropertyPage.h"

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
    void RemoveTempFiles();

    uint8_t *m_cert;        // the certificate of the selected node
    uint32_t m_certLength;  // 0 when no readable certificate is held
    HIMAGELIST m_images;
    SIZE m_treeSize, m_detailsSize;
    std::vector<std::string> m_tempFiles; // removed with the page
};
