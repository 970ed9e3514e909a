#include "keymgr/pages/certs/CertManagePage.h"

#include "common/BoundedCopy.h"
#include "common/win32/Module.h"
#include "common/win32/window/WaitCursor.h"
#include "keymgr/library/CspControlBlock.h"
#include "keymgr/library/TokenCalls.h"
#include "keymgr/pages/certs/CertTreeRules.h"
#include "keymgr/pages/resource.h"
#include "keymgr/shell/StartupNames.h"
#include "keymgr/shell/softkbd/SoftKeyboardState.h"
#include "keymgr/shell/token/CurrentToken.h"

#include <shellapi.h>
#include <wincrypt.h>

#include <stdlib.h>
#include <string.h>

namespace {

const uint32_t kCertBufferSize = 0x20000;

std::string Text(const char *key)
{
    char text[512] = "";
    LoadText("CertManagePage", key, text, sizeof(text));
    return text;
}

std::string TreeItemText(HWND tree, HTREEITEM item)
{
    char text[512] = "";
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof(text);
    if (!SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&tv))
        return std::string();
    text[sizeof(text) - 1] = '\0';
    return text;
}

uint32_t TreeItemData(HWND tree, HTREEITEM item)
{
    TVITEMA tv = {};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    if (!SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&tv))
        return 0;
    return (uint32_t)tv.lParam;
}

HTREEITEM InsertNode(HWND tree, HTREEITEM parent, const char *text, uint32_t data, int image)
{
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char *>(text);
    insert.item.lParam = (LPARAM)data;
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    return (HTREEITEM)SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&insert);
}

// A display name of the certificate, or false when no buffer can be had.
bool CertName(PCCERT_CONTEXT cert, DWORD flags, std::string *name)
{
    DWORD size = CertGetNameStringA(cert, CERT_NAME_SIMPLE_DISPLAY_TYPE, flags, NULL, NULL, 0);
    if (size == 0)
        size = 1;
    char *buffer = (char *)calloc(size, 1);
    if (!buffer)
        return false;
    CertGetNameStringA(cert, CERT_NAME_SIMPLE_DISPLAY_TYPE, flags, NULL, buffer, size);
    buffer[size - 1] = '\0';
    *name = buffer;
    free(buffer);
    return true;
}

bool LocalDate(const FILETIME &utc, CertDate *date)
{
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st))
        return false;
    date->year = st.wYear;
    date->month = st.wMonth;
    date->day = st.wDay;
    return true;
}

} // namespace

CCertManagePage::CCertManagePage()
    : CPropertyPage(IDD_PAGE_CERTIFICATES), m_cert(NULL), m_certLength(0), m_images(NULL)
{
    m_reader[0] = '\0';
    m_treeSize.cx = m_treeSize.cy = 0;
    m_detailsSize.cx = m_detailsSize.cy = 0;
}

CCertManagePage::~CCertManagePage()
{
    if (m_cert) {
        SecureZeroMemory(m_cert, kCertBufferSize);
        free(m_cert);
    }
}

void CCertManagePage::OnInitPage()
{
    SetItemText(IDC_CERT_VIEW, Text("IDC_VIEW_CERT").c_str());
    if (!m_cert)
        m_cert = (uint8_t *)calloc(kCertBufferSize, 1);
    if (!m_cert) {
        MessageBoxA(m_hWnd, Text("IDS_MEMORY_NOT_ENOUGH").c_str(), UserTitle, MB_OK | MB_ICONSTOP);
        return;
    }
    m_certLength = 0;
    HWND tree = GetDlgItem(m_hWnd, IDC_CERT_TREE);
    if (!m_images)
        m_images = ImageList_LoadImageA(AppInstance(), MAKEINTRESOURCEA(IDB_CERT_TREE), 16, 0, RGB(255, 0, 255),
                                        IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (m_images)
        SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, (LPARAM)m_images);
    ClearTree();
    EnableItem(IDC_CERT_VIEW, false);
    RECT r;
    GetWindowRect(tree, &r);
    m_treeSize.cx = r.right - r.left;
    m_treeSize.cy = r.bottom - r.top;
    GetWindowRect(GetDlgItem(m_hWnd, IDC_CERT_DETAILS), &r);
    m_detailsSize.cx = r.right - r.left;
    m_detailsSize.cy = r.bottom - r.top;
    SetForegroundWindow(m_hWnd);
}

LRESULT CCertManagePage::OnSetActive()
{
    Activate();
    return 0;
}

void CCertManagePage::Activate()
{
    if (!m_hWnd)
        return;
    CloseSoftKeyboard();
    SetActivePageIndex(PAGE_CERTIFICATES);
    SetWindowPos(GetDlgItem(m_hWnd, IDC_CERT_TREE), NULL, 10, 16, m_treeSize.cx, m_treeSize.cy + 20,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(GetDlgItem(m_hWnd, IDC_CERT_DETAILS), NULL, 10, 132, m_detailsSize.cx, m_detailsSize.cy + 20,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    EnableItem(IDC_CERT_VIEW, false);
    ClearTree();
    FillTree();
}

void CCertManagePage::ClearTree()
{
    SendDlgItemMessageA(m_hWnd, IDC_CERT_TREE, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
    SetItemText(IDC_CERT_DETAILS, "");
    m_certLength = 0;
    for (int i = 0; i < CSP_RECORD_COUNT; ++i)
        m_slotNames[i].clear();
}

const std::string *CCertManagePage::SlotName(uint32_t containerData) const
{
    uint32_t slot = containerData & 0xFFFu;
    return IsContainerNode(containerData) && slot < (uint32_t)CSP_RECORD_COUNT ? &m_slotNames[slot] : NULL;
}

void CCertManagePage::FillTree()
{
    if (!m_hWnd || SnapshotCurrentToken().activePageIndex != PAGE_CERTIFICATES)
        return;
    CWaitCursor wait;
    int twoRsa = 0;
    if (Tok::ZRGetTwoRSAType(&twoRsa) != 0)
        twoRsa = 0;
    EnableItem(IDC_CERT_VIEW, false);
    ClearTree();
    HWND tree = GetDlgItem(m_hWnd, IDC_CERT_TREE);

    // The tree and every later read are of this token, whichever becomes
    // current meanwhile.
    CopyCurrentReader(m_reader, sizeof(m_reader));
    uint8_t *block = (uint8_t *)calloc(CSP_CTRL_SIZE, 1);
    uint32_t length = CSP_CTRL_SIZE;
    std::vector<CertTreeEntry> entries;
    // The whole zeroed block, as the expiry warning reads it: the length the
    // library reports is not what its records' places depend on.
    if (block && Tok::OC_ReadCSPCtrl(0, m_reader, block, &length) == 0)
        entries = BuildCertTree(block, CSP_CTRL_SIZE);
    free(block);
    for (size_t i = 0; i < entries.size(); ++i) {
        uint32_t data = entries[i].containerData;
        if (SlotName(data))
            m_slotNames[data & 0xFFFu] = entries[i].containerName;
    }

    HTREEITEM first = NULL;
    for (size_t i = 0; i < entries.size(); ++i) {
        HTREEITEM root = InsertNode(tree, TVI_ROOT, entries[i].containerName.c_str(), entries[i].containerData, 0);
        if (!root)
            continue;
        std::string label = Text(CertNodeLabelKey(entries[i].certData, twoRsa != 0));
        InsertNode(tree, root, label.c_str(), entries[i].certData, 2);
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)root);
        if (!first)
            first = root;
    }
    HTREEITEM selected = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    if (first && selected != first)
        SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)first); // notifies the selection
    else
        SelectionChanged();
}

uint32_t CCertManagePage::SelectedData(HTREEITEM *item)
{
    HWND tree = GetDlgItem(m_hWnd, IDC_CERT_TREE);
    *item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    return *item ? TreeItemData(tree, *item) : 0;
}

void CCertManagePage::SelectionChanged()
{
    EnableItem(IDC_CERT_VIEW, false);
    SetItemText(IDC_CERT_DETAILS, "");
    m_certLength = 0;
    HTREEITEM item;
    uint32_t data = SelectedData(&item);
    if (!item)
        return;
    HWND tree = GetDlgItem(m_hWnd, IDC_CERT_TREE);
    if (IsContainerNode(data)) {
        std::vector<std::string> children;
        for (HTREEITEM child = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)item); child;
             child = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)child))
            children.push_back(TreeItemText(tree, child));
        const std::string *name = SlotName(data);
        SetItemText(IDC_CERT_DETAILS, ContainerDetails(Text("IDS_CONTAINER"), name ? *name : std::string(),
                                                       Text("IDS_RIGHT_PARENTHESIS"), children)
                                          .c_str());
    } else if (IsCertNode(data)) {
        ShowCertificate(item, data);
    }
}

void CCertManagePage::ShowCertificate(HTREEITEM item, uint32_t data)
{
    if (!m_cert)
        return;
    HWND tree = GetDlgItem(m_hWnd, IDC_CERT_TREE);
    HTREEITEM parent = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)item);
    // The name as the block holds it, not as the tree gives its label back.
    const std::string *container = parent ? SlotName(TreeItemData(tree, parent)) : NULL;
    if (!container || !m_reader[0])
        return;
    uint32_t length = kCertBufferSize;
    int rc = Tok::OC_ReadCert(0, m_reader, container->c_str(), CertNodeKeySpec(data), m_cert, &length);
    if (rc != 0 || length == 0 || length > kCertBufferSize)
        return; // nothing readable: no details, no viewer
    PCCERT_CONTEXT cert = CertCreateCertificateContext(X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, m_cert, length);
    if (!cert)
        return;
    std::string subject, issuer;
    CertDate from = {0, 0, 0}, until = {0, 0, 0};
    bool named = CertName(cert, 0, &subject) && CertName(cert, CERT_NAME_ISSUER_FLAG, &issuer);
    LocalDate(cert->pCertInfo->NotBefore, &from);
    LocalDate(cert->pCertInfo->NotAfter, &until);
    CertFreeCertificateContext(cert);
    m_certLength = length;
    if (!named) {
        MessageBoxA(m_hWnd, Text("IDS_MEMORY_NOT_ENOUGH").c_str(), UserTitle, MB_OK | MB_ICONSTOP);
    } else {
        CertDetailTexts texts;
        texts.issueTo = Text("IDS_ISSUE_TO");
        texts.issuer = Text("IDS_ISSUER");
        texts.validity = Text("IDS_VALIDITY");
        texts.to = Text("IDS_TO");
        SetItemText(IDC_CERT_DETAILS, CertDetails(texts, subject, issuer, from, until).c_str());
    }
    EnableItem(IDC_CERT_VIEW, true);
}

void CCertManagePage::ViewCertificate()
{
    HTREEITEM item;
    uint32_t data = SelectedData(&item);
    if (!item || !IsCertNode(data) || m_certLength == 0)
        return;
    CWaitCursor wait;
    char folder[261] = "";
    char name[MAX_PATH] = "";
    char path[MAX_PATH] = "";
    std::vector<std::string> made;
    DWORD n = GetTempPathA(sizeof(folder), folder);
    if (n > 0 && n < sizeof(folder) && GetTempFileNameA(folder, "Cert", 0, name) != 0)
        made.push_back(name);
    bool written = false;
    if (!made.empty() && strlen(name) + 4 < sizeof(path)) {
        CopyBounded(path, sizeof(path), name);
        AppendBounded(path, sizeof(path), ".cer");
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            made.push_back(path);
            DWORD done = 0;
            written = WriteFile(file, m_cert, m_certLength, &done, NULL) && done == m_certLength;
            written = CloseHandle(file) && written;
        }
    }
    if (!written) {
        m_viewed.Keep(made, NULL);
        MessageBoxA(m_hWnd, Text("IDS_CREATE_TMPFILE_FAIL").c_str(), UserTitle, MB_OK | MB_ICONSTOP);
        return;
    }
    SHELLEXECUTEINFOA run = {};
    run.cbSize = sizeof(run);
    run.fMask = SEE_MASK_NOCLOSEPROCESS;
    run.hwnd = m_hWnd;
    run.lpVerb = "open";
    run.lpFile = path;
    run.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&run))
        run.hProcess = NULL;
    m_viewed.Keep(made, run.hProcess);
}

INT_PTR CCertManagePage::RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_CERT_VIEW && HIWORD(wParam) == BN_CLICKED) {
            ViewCertificate();
            return TRUE;
        }
        break;
    case WM_NOTIFY: {
        const NMHDR *header = reinterpret_cast<const NMHDR *>(lParam);
        if (header->idFrom == IDC_CERT_TREE) {
            if (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW) {
                SelectionChanged();
                return TRUE;
            }
            if (header->code == NM_DBLCLK) {
                ViewCertificate();
                return TRUE;
            }
        }
        break;
    }
    case WM_DESTROY:
        if (m_images) {
            ImageList_Destroy(m_images);
            m_images = NULL;
        }
        break;
    }
    return CPropertyPage::RunDlgProc(msg, wParam, lParam);
}
