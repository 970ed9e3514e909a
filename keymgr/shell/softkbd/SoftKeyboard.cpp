#include "keymgr/shell/softkbd/SoftKeyboard.h"

#include "common/win32/Module.h"
#include "keymgr/library/TokenCalls.h"
#include "keymgr/shell/softkbd/SoftKeyTable.h"
#include "keymgr/shell/softkbd/SoftKeyboardState.h"

#include <ntsecapi.h>

#include <vector>

namespace {

const char kHideText[] = "Hide &澜岳银行网银虚拟键盘";
const char kShowText[] = "Show &澜岳银行网银虚拟键盘";

SoftKey g_keys[SOFT_KEY_COUNT];
SoftModifiers g_modifiers = {false, false, false};
WNDPROC g_buttonProc = NULL;
int g_pressedId = 0;
bool g_markPending = false;

// Ends the soft keyboard's mark on the field's change once the keys sent are
// handled: WM_TIMER comes only when no input or posted message is waiting.
const UINT_PTR TIMER_MARK_END = 1;

int ReadKeyboardMode()
{
    int mode = 0;
    if (Tok::ZRGetSoftKeyBoardMode(&mode) != 0)
        return 0;
    return mode;
}

// The digit layout must not be guessable: the system's cryptographic generator.
bool SystemRandom(void *, uint32_t *value)
{
    return RtlGenRandom(value, sizeof(*value)) != FALSE;
}

bool ModifierSet(int id)
{
    return (id == SOFT_KEY_SHIFT && g_modifiers.shift) || (id == SOFT_KEY_CTRL && g_modifiers.ctrl) ||
           (id == SOFT_KEY_ALT && g_modifiers.alt);
}

// The look of a sticky key follows its flag; BM_GETSTATE tells it too.
void ShowModifierLook(HWND keyboard, int id)
{
    HWND button = GetDlgItem(keyboard, id);
    if (!button)
        return;
    SendMessageA(button, BM_SETSTATE, ModifierSet(id) ? TRUE : FALSE, 0);
    InvalidateRect(button, NULL, TRUE);
}

BOOL CALLBACK FindBox(HWND window, LPARAM lParam)
{
    HWND *box = reinterpret_cast<HWND *>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char cls[16] = "";
    if (window == SoftKeyboardWindow || process != GetCurrentProcessId() || !IsWindowVisible(window) ||
        !GetClassNameA(window, cls, sizeof(cls)) || lstrcmpA(cls, "#32770") != 0)
        return TRUE;
    *box = window;
    return FALSE;
}

// While a box of ours is up the keyboard does nothing: a key would go to the
// box, and raising the window it blocks would bury the box beneath it.
bool ProgramBoxUp()
{
    HWND box = NULL;
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
    return box != NULL;
}

void GiveFocusToTarget()
{
    HWND target = SoftKeyboardTarget;
    if (!target || !IsWindow(target))
        return;
    if (GetWindowThreadProcessId(target, NULL) != GetCurrentThreadId()) {
        SetForegroundWindow(target);
        return;
    }
    // A field inside the target keeps the focus it has.
    HWND focus = GetFocus();
    if (focus != target && !IsChild(target, focus))
        SetFocus(target);
}

void SendPresses(const std::vector<SoftKeyEvent> &events)
{
    for (size_t i = 0; i < events.size(); ++i) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = events[i].vk;
        input.ki.wScan = (WORD)MapVirtualKeyA(events[i].vk, MAPVK_VK_TO_VSC);
        input.ki.dwFlags = events[i].up ? KEYEVENTF_KEYUP : 0;
        SendInput(1, &input, sizeof(input));
        if (events[i].pauseAfter)
            Sleep(50);
    }
}

void EndMark()
{
    if (g_markPending)
        InterlockedExchange(&ScreenKeyInput, 0);
    g_markPending = false;
}

void KeyAction(HWND keyboard, int id)
{
    int index = FindSoftKey(g_keys, id);
    if (index < 0 || ProgramBoxUp())
        return;
    if (id == SOFT_KEY_ESC) {
        DestroyWindow(keyboard);
        return;
    }
    if (ToggleSoftModifier(&g_modifiers, id)) {
        ShowModifierLook(keyboard, id);
        return;
    }
    SoftModifiers before = g_modifiers;
    std::vector<SoftKeyEvent> events = SoftKeyPresses(g_keys[index].vk, &g_modifiers);
    // Only a key that types marks the field's next change as the keyboard's;
    // the mark ends with these keys, so a physical key never inherits it.
    if (SoftKeyTypes(g_keys[index].vk, before)) {
        InterlockedExchange(&ScreenKeyInput, 1);
        g_markPending = true;
        SetTimer(keyboard, TIMER_MARK_END, USER_TIMER_MINIMUM, NULL);
    }
    GiveFocusToTarget();
    SendPresses(events);
    if (before.shift)
        ShowModifierLook(keyboard, SOFT_KEY_SHIFT);
    if (before.ctrl)
        ShowModifierLook(keyboard, SOFT_KEY_CTRL);
    if (before.alt)
        ShowModifierLook(keyboard, SOFT_KEY_ALT);
}

void DrawKey(const DRAWITEMSTRUCT *item)
{
    RECT r = item->rcItem;
    HDC dc = item->hDC;
    FillRect(dc, &r, (HBRUSH)GetStockObject(LTGRAY_BRUSH));
    char text[32] = "";
    GetWindowTextA(item->hwndItem, text, sizeof(text));
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    FrameRect(dc, &r, (HBRUSH)GetStockObject(BLACK_BRUSH));
    InflateRect(&r, -1, -1);
    FrameRect(dc, &r, (HBRUSH)GetStockObject(WHITE_BRUSH));
    InflateRect(&r, -1, -1);
    int id = (int)item->CtlID;
    if (ModifierSet(id) || id == g_pressedId) {
        OffsetRect(&r, 1, 1);
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    } else {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    }
}

LRESULT CALLBACK KeyButtonProc(HWND button, UINT msg, WPARAM wParam, LPARAM lParam)
{
    int id = GetDlgCtrlID(button);
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        g_pressedId = id;
        InvalidateRect(button, NULL, TRUE);
        SetCapture(button);
        return 0;
    case WM_LBUTTONUP: {
        HWND keyboard = GetParent(button);
        g_pressedId = 0;
        HWND target = SoftKeyboardTarget;
        if (!ProgramBoxUp()) {
            if (target && IsWindow(target) && GetForegroundWindow() != target)
                SetForegroundWindow(target);
            SendMessageA(keyboard, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button);
        }
        if (IsWindow(button)) {
            InvalidateRect(button, NULL, TRUE);
            if (GetCapture() == button)
                ReleaseCapture();
        }
        return 0;
    }
    }
    return CallWindowProcA(g_buttonProc, button, msg, wParam, lParam);
}

void InitKeys(HWND keyboard, const int permutation[SOFT_DIGIT_COUNT])
{
    for (int i = 0; i < SOFT_KEY_COUNT; ++i)
        g_keys[i] = SoftKeyTableEntries()[i];
    ApplyDigitPermutation(g_keys, permutation);
    g_modifiers = SoftModifiers{false, false, false};

    int mode = ReadKeyboardMode();
    for (int i = 0; i < SOFT_KEY_COUNT; ++i) {
        HWND button = GetDlgItem(keyboard, g_keys[i].id);
        if (!button)
            continue;
        SetWindowTextA(button, SoftKeyCaption(g_keys[i].vk));
        bool keyBehaviour = mode == SOFT_KEYBOARD_FULL || (mode == SOFT_KEYBOARD_NUMERIC && IsNumericLayoutKey(g_keys[i].id));
        if (!keyBehaviour)
            continue;
        WNDPROC previous = (WNDPROC)SetWindowLongPtrA(button, GWLP_WNDPROC, (LONG_PTR)KeyButtonProc);
        if (previous && previous != KeyButtonProc)
            g_buttonProc = previous;
    }
}

void ToggleMinimised(HWND keyboard)
{
    HMENU menu = GetSystemMenu(keyboard, FALSE);
    if (IsIconic(keyboard)) {
        // Back where it was, and the focus stays in the field typed in.
        ShowWindow(keyboard, SW_SHOWNOACTIVATE);
        if (menu)
            ModifyMenuA(menu, SOFT_MENU_HIDE_SHOW, MF_BYCOMMAND | MF_STRING | MF_UNCHECKED, SOFT_MENU_HIDE_SHOW, kHideText);
    } else {
        ShowWindow(keyboard, SW_MINIMIZE);
        if (menu)
            ModifyMenuA(menu, SOFT_MENU_HIDE_SHOW, MF_BYCOMMAND | MF_STRING | MF_CHECKED, SOFT_MENU_HIDE_SHOW, kShowText);
    }
}

void PlaceKeyboard(HWND keyboard)
{
    RECT work, r;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) || !GetWindowRect(keyboard, &r))
        return;
    int width = r.right - r.left, height = r.bottom - r.top;
    int x = work.left + (work.right - work.left - width) / 2;
    int y = work.bottom - height - 8;
    SetWindowPos(keyboard, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

INT_PTR CALLBACK SoftKeyboardProc(HWND keyboard, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        SoftKeyboardWindow = keyboard;
        InitKeys(keyboard, reinterpret_cast<const int *>(lParam));
        HMENU menu = GetSystemMenu(keyboard, FALSE);
        if (menu) {
            AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
            AppendMenuA(menu, MF_STRING, SOFT_MENU_HIDE_SHOW, kHideText);
        }
        return FALSE;
    }
    case WM_MOUSEACTIVATE:
        // A click on a key leaves the focus in the field being typed in.
        SetWindowLongPtrA(keyboard, DWLP_MSGRESULT, MA_NOACTIVATE);
        return TRUE;
    case WM_TIMER:
        if (wParam == TIMER_MARK_END) {
            KillTimer(keyboard, TIMER_MARK_END);
            EndMark();
        }
        return TRUE;
    case WM_DRAWITEM:
        DrawKey(reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
        SetWindowLongPtrA(keyboard, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_MOUSEMOVE:
        if (wParam & MK_LBUTTON)
            PostMessageA(keyboard, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
        return TRUE;
    case WM_RBUTTONDOWN: {
        HMENU menu = GetSystemMenu(keyboard, FALSE);
        POINT at = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        ClientToScreen(keyboard, &at);
        int command = menu ? (int)TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, keyboard, NULL) : 0;
        if (command)
            SendMessageA(keyboard, WM_SYSCOMMAND, (WPARAM)command, 0);
        return TRUE;
    }
    case WM_SYSCOMMAND: {
        UINT command = (UINT)wParam;
        if (command == SOFT_MENU_HIDE_SHOW || (command & 0xFFF0) == SC_MINIMIZE || (command & 0xFFF0) == SC_RESTORE) {
            ToggleMinimised(keyboard);
            SetWindowLongPtrA(keyboard, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        return FALSE;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            KeyAction(keyboard, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        DestroyWindow(keyboard);
        return TRUE;
    case WM_DESTROY:
        EndMark();
        if (SoftKeyboardWindow == keyboard) {
            SoftKeyboardWindow = NULL;
            SoftKeyboardShown = false;
        }
        return FALSE;
    }
    return FALSE;
}

} // namespace

void RestoreOnScreenKeyboard()
{
    if (SoftKeyboardShown && SoftKeyboardWindow && IsWindow(SoftKeyboardWindow) && IsIconic(SoftKeyboardWindow))
        ToggleMinimised(SoftKeyboardWindow);
}

void ShowOnScreenKeyboard()
{
    if (SoftKeyboardShown && SoftKeyboardWindow && IsWindow(SoftKeyboardWindow)) {
        RestoreOnScreenKeyboard();
        return;
    }
    int mode = ReadKeyboardMode();
    int templateId;
    if (mode == SOFT_KEYBOARD_NUMERIC)
        templateId = IDD_SOFTKEY_NUMERIC;
    else if (mode == SOFT_KEYBOARD_FULL)
        templateId = IDD_SOFTKEY_FULL;
    else
        return;
    // No keyboard rather than one whose layout could be guessed.
    int permutation[SOFT_DIGIT_COUNT];
    if (!DrawDigitPermutation(SystemRandom, NULL, permutation))
        return;
    HWND keyboard = CreateDialogParamA(AppInstance(), MAKEINTRESOURCEA(templateId), NULL, SoftKeyboardProc,
                                       reinterpret_cast<LPARAM>(permutation));
    if (!keyboard)
        return;
    PlaceKeyboard(keyboard);
    ShowWindow(keyboard, SW_SHOWNOACTIVATE);
    SoftKeyboardShown = true;
}
