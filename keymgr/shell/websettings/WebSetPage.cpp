#include "keymgr/shell/websettings/WebSetPage.h"

#include "common/BoundedCopy.h"
#include "common/win32/Module.h"
#include "keymgr/library/TokenCalls.h"
#include "keymgr/shell/browser/BrowserAddress.h"
#include "keymgr/shell/StartupNames.h"
#include "keymgr/shell/websettings/WebSetPageIds.h"
#include "keymgr/shell/websettings/WebSettings.h"

#include <commctrl.h>

namespace {

const char kSection[] = "WebSetPage";
// The request address as the page's data exchange holds it.
const int kRequestAddressLimit = 256;

struct ControlText {
    int id;
    const char *key;
};

const ControlText kControlTexts[] = {
    {IDC_WEBSET_GROUP_SET, "IDC_STATIC_GRP_SET"},
    {IDC_WEBSET_ADD, "IDC_ADD_BTN"},
    {IDC_WEBSET_DELETE, "IDC_DELURL_BTN"},
    {IDC_WEBSET_OPEN_PAGES, "IDC_URL_CHECK"},
    {IDC_WEBSET_SET, "IDC_SET_BTN"},
    {IDOK, "IDOK"},
    {IDC_WEBSET_GROUP_REQUEST, "IDC_STATIC_GRP_REQCERT"},
    {IDC_WEBSET_REQUEST_LABEL, "IDC_STATIC_REQCERT"},
    {IDC_WEBSET_REQUEST, "IDC_CHECK_CERTREQ"},
    {IDC_WEBSET_SAVE_ADDR, "IDC_BTN_SAVE"},
    {IDC_WEBSET_NOTE, "IDC_STATIC_NOTE"},
    {IDOK, "IDS_HIDE"}, // the OK button reads as the hide text
};

} // namespace

CWebSetPage::CWebSetPage()
    : CPropertyPage(IDD_WEBSET_PAGE), m_file(m_ownFile), m_openPages(false), m_onActivate(NULL)
{
}

CWebSetPage::CWebSetPage(CWebSetFile &file)
    : CPropertyPage(IDD_WEBSET_PAGE), m_ownFile(""), m_file(file), m_openPages(false), m_onActivate(NULL)
{
}

int CWebSetPage::ShowMessage(const char *text, UINT type)
{
    return MessageBoxA(m_hWnd, text, UserTitle, type);
}

void CWebSetPage::HideMainWindow()
{
    HWND top = GetAncestor(m_hWnd, GA_ROOT);
    if (top)
        ShowWindow(top, SW_HIDE);
}

INT_PTR CWebSetPage::RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    return CPropertyPage::RunDlgProc(msg, wParam, lParam);
}

LRESULT CWebSetPage::OnSetActive()
{
    if (m_onActivate)
        m_onActivate();
    return 0;
}

void CWebSetPage::LocalizeControls()
{
    for (size_t i = 0; i < sizeof(kControlTexts) / sizeof(kControlTexts[0]); ++i) {
        char text[256];
        // Without the language service the template's own text stays.
        if (LoadText(kSection, kControlTexts[i].key, text, sizeof(text)) > 0)
            SetItemText(kControlTexts[i].id, text);
    }
}

void CWebSetPage::OnInitDialog()
{
    LocalizeControls();

    m_openPages = WebPagesEnabled(m_file);
    CheckDlgButton(m_hWnd, IDC_WEBSET_OPEN_PAGES, m_openPages ? BST_CHECKED : BST_UNCHECKED);

    HWND list = GetDlgItem(m_hWnd, IDC_WEBSET_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    std::vector<std::string> addresses = ReadWebAddresses(m_file);
    for (size_t i = 0; i < addresses.size(); ++i)
        SendMessageA(list, LB_INSERTSTRING, (WPARAM)-1, reinterpret_cast<LPARAM>(addresses[i].c_str()));

    CheckDlgButton(m_hWnd, IDC_WEBSET_REQUEST, CertRequestEnabled(m_file) ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageA(m_hWnd, IDC_WEBSET_REQUEST_ADDR, EM_LIMITTEXT, kRequestAddressLimit, 0);
    std::string address = ReadCertRequestAddress(m_file, WEBSET_PAGE_ADDRESS_SIZE);
    SetItemText(IDC_WEBSET_REQUEST_ADDR, address.c_str());
    EnableItem(IDC_WEBSET_SAVE_ADDR, false); // after the text, whose change notice enables it
}

std::string CWebSetPage::ItemText(int id)
{
    HWND item = GetDlgItem(m_hWnd, id);
    int length = item ? GetWindowTextLengthA(item) : 0;
    if (length <= 0)
        return std::string();
    std::vector<char> buffer((size_t)length + 1, '\0');
    int n = GetWindowTextA(item, &buffer[0], length + 1);
    return std::string(&buffer[0], n > 0 ? (size_t)n : 0);
}

std::vector<std::string> CWebSetPage::ListItems()
{
    std::vector<std::string> items;
    HWND list = GetDlgItem(m_hWnd, IDC_WEBSET_LIST);
    int count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        int length = (int)SendMessageA(list, LB_GETTEXTLEN, i, 0);
        if (length < 0)
            continue;
        std::vector<char> buffer((size_t)length + 1, '\0');
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&buffer[0]));
        items.push_back(std::string(&buffer[0]));
    }
    return items;
}

void CWebSetPage::ShowText(const char *key)
{
    char text[512];
    LoadText(kSection, key, text, sizeof(text));
    ShowMessage(text, MB_OK);
}

void CWebSetPage::ShowWriteFailure()
{
    char text[512];
    // A language service that lacks the key still gets the user told.
    if (LoadText(kSection, "SET_FAIL", text, sizeof(text)) == 0)
        CopyBounded(text, sizeof(text), "设置失败！");
    ShowMessage(text, MB_OK | MB_ICONSTOP);
}

void CWebSetPage::ShowUnopenable(int field)
{
    char text[512];
    // Language files know no such key; the text is the program's own then.
    if (LoadText(kSection, "WEBSET_URL_INVALID", text, sizeof(text)) == 0)
        CopyBounded(text, sizeof(text), "无法打开此网址。请输入以 http:// 或 https:// 开头的网址，或网站的域名（如 www.example.com）。");
    ShowMessage(text, MB_OK | MB_ICONEXCLAMATION);
    // The address stays for the user to mend.
    HWND edit = GetDlgItem(m_hWnd, field);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
}

void CWebSetPage::AddAddress()
{
    std::string address = ItemText(IDC_WEBSET_NEW_URL);
    if (address.empty()) {
        ShowText("WEBSET_URL_NULL");
        return;
    }
    if (!BrowserCanOpen(address)) {
        ShowUnopenable(IDC_WEBSET_NEW_URL);
        return;
    }
    SendDlgItemMessageA(m_hWnd, IDC_WEBSET_LIST, LB_INSERTSTRING, (WPARAM)-1,
                        reinterpret_cast<LPARAM>(address.c_str()));
    SetItemText(IDC_WEBSET_NEW_URL, "");
}

void CWebSetPage::DeleteAddress()
{
    HWND list = GetDlgItem(m_hWnd, IDC_WEBSET_LIST);
    int selected = (int)SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR)
        return;
    if (SendMessageA(list, LB_GETTEXTLEN, selected, 0) > 0)
        SendMessageA(list, LB_DELETESTRING, selected, 0);
}

void CWebSetPage::SaveList()
{
    std::vector<std::string> items = ListItems();
    bool enabled = m_openPages;
    if (m_file.Update([&](CIni &file) { return WriteWebPageSettings(file, enabled, items); }))
        ShowText("SET_SUCCESS");
    else
        ShowWriteFailure();
}

void CWebSetPage::WriteRequestFlag()
{
    bool wanted = IsDlgButtonChecked(m_hWnd, IDC_WEBSET_REQUEST) == BST_CHECKED;
    if (m_file.Update([&](CIni &file) { return WriteCertRequestFlag(file, wanted); }))
        return;
    // The box shows what the file says.
    CheckDlgButton(m_hWnd, IDC_WEBSET_REQUEST, CertRequestEnabled(m_file) ? BST_CHECKED : BST_UNCHECKED);
    ShowWriteFailure();
}

void CWebSetPage::SaveRequestAddress()
{
    std::string address = ItemText(IDC_WEBSET_REQUEST_ADDR);
    // An empty address is how the user says there is no request page.
    if (!address.empty() && !BrowserCanOpen(address)) {
        ShowUnopenable(IDC_WEBSET_REQUEST_ADDR);
        return;
    }
    if (m_file.Update([&](CIni &file) { return WriteCertRequestAddress(file, address.c_str()); }))
        EnableItem(IDC_WEBSET_SAVE_ADDR, false);
    else
        ShowWriteFailure(); // the address stays unsaved
}

void CWebSetPage::OnCommand(int id, int code)
{
    switch (id) {
    case IDC_WEBSET_ADD:
        if (code == BN_CLICKED)
            AddAddress();
        break;
    case IDC_WEBSET_DELETE:
        if (code == BN_CLICKED)
            DeleteAddress();
        break;
    case IDC_WEBSET_OPEN_PAGES:
        if (code == BN_CLICKED)
            m_openPages = IsDlgButtonChecked(m_hWnd, IDC_WEBSET_OPEN_PAGES) == BST_CHECKED;
        break;
    case IDC_WEBSET_SET:
        if (code == BN_CLICKED)
            SaveList();
        break;
    case IDC_WEBSET_REQUEST:
        if (code == BN_CLICKED)
            WriteRequestFlag();
        break;
    case IDC_WEBSET_REQUEST_ADDR:
        if (code == EN_CHANGE)
            EnableItem(IDC_WEBSET_SAVE_ADDR, true);
        break;
    case IDC_WEBSET_SAVE_ADDR:
        if (code == BN_CLICKED)
            SaveRequestAddress();
        break;
    case IDOK:
        if (code == BN_CLICKED)
            HideMainWindow();
        break;
    }
}
