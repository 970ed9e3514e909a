// The pop-up on a real display: its window rectangle sampled over time.
#include "keymgr/shell/popup/PopupWnd.h"

#include "keymgr/library/TokenCalls.h"
#include "keymgr/shell/StartupNames.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

// The start-up names, set before the pop-up object builds its heading.
struct Names {
    Names()
    {
        strcpy(HWName, "USB Key");
        strcpy(PopupTitle, "提示");
    }
} g_names;

const char *TOKAPI FakeLoadString(const char *section, const char *key)
{
    static std::string text;
    text = std::string(section) + "/" + key;
    return text.c_str();
}

struct Sample {
    DWORD at;
    bool exists;
    RECT rect;
};

RECT WorkArea()
{
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

void Pump(DWORD ms, std::vector<Sample> *samples = NULL)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (samples) {
            Sample s = {GetTickCount() - start, false, {0, 0, 0, 0}};
            HWND h = CPopupWnd::Instance().Hwnd();
            s.exists = h && IsWindow(h);
            if (s.exists)
                GetWindowRect(h, &s.rect);
            samples->push_back(s);
        }
        Sleep(5);
    }
}

// Pumps until the pop-up is gone or the time is up; returns the time taken.
DWORD PumpUntilGone(DWORD limit)
{
    DWORD start = GetTickCount();
    while (CPopupWnd::Instance().Hwnd() && GetTickCount() - start < limit)
        Pump(20);
    return GetTickCount() - start;
}

bool ShowPopup(const char *text)
{
    CPopupWnd &w = CPopupWnd::Instance();
    if (!w.Show(text))
        return false;
    ShowWindow(w.Hwnd(), SW_SHOWNOACTIVATE);
    UpdateWindow(w.Hwnd());
    return true;
}

class PopupWndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Whichever test runs first makes the pop-up object and its heading.
        savedLoadString = ProcessTokenTable().slots[TE_LngLoadString];
        ProcessTokenTable().slots[TE_LngLoadString] = (void *)&FakeLoadString;
        SetCursorPos(0, 0); // keep the real pointer off the pop-up
        work = WorkArea();
    }
    void TearDown() override
    {
        HWND h = CPopupWnd::Instance().Hwnd();
        if (h)
            DestroyWindow(h);
        Pump(20);
        ProcessTokenTable().slots[TE_LngLoadString] = savedLoadString;
    }
    RECT work;
    void *savedLoadString = NULL;
};

TEST_F(PopupWndTest, WindowIsAToolPopupWithTheTitle)
{
    ASSERT_TRUE(ShowPopup("插入"));
    HWND h = CPopupWnd::Instance().Hwnd();
    LONG ex = GetWindowLongA(h, GWL_EXSTYLE);
    EXPECT_EQ(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, ex & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
    EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & WS_POPUP);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(NULL), CPopupWnd::ClassName(), &wc));
    EXPECT_TRUE(wc.style & CS_HREDRAW);
    EXPECT_TRUE(wc.hCursor != NULL); // cursor 147 is in the program's resources
    EXPECT_STREQ("插入", CPopupWnd::Instance().Body());
    char title[64] = "";
    GetWindowTextA(h, title, sizeof(title));
    EXPECT_STREQ("提示", title);
    EXPECT_STREQ("USB Key MsnWnd/IDS_HINT", CPopupWnd::Instance().Heading());
}

// Dark text pixels (the text colour is RGB(0, 64, 128)) in a band of rows,
// right of the bitmap's own icon.
int TextPixels(HDC dc, int top, int bottom, int left, int right)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            COLORREF c = GetPixel(dc, x, y);
            if (c != CLR_INVALID && GetRValue(c) < 100 && GetBValue(c) > GetRValue(c) + 40)
                ++n;
        }
    return n;
}

TEST_F(PopupWndTest, PaintsHeadingAndVerticallyCentredBody)
{
    ASSERT_TRUE(ShowPopup("金融证书已插入 ABC"));
    Pump(1000); // fully up
    HWND h = CPopupWnd::Instance().Hwnd();
    ASSERT_TRUE(h != NULL);
    InvalidateRect(h, NULL, FALSE);
    UpdateWindow(h);
    HDC dc = GetDC(h);
    EXPECT_GT(TextPixels(dc, 8, 26, 30, 120), 10) << "heading at (30, 10)";
    // One line in the body box from y 40 to 116 sits around y 78.
    EXPECT_GT(TextPixels(dc, 68, 90, 5, 176), 10) << "body centred";
    EXPECT_EQ(0, TextPixels(dc, 40, 62, 26, 176)) << "not at the top of the box";
    EXPECT_EQ(0, TextPixels(dc, 96, 114, 5, 176));
    ReleaseDC(h, dc);

    // A long body wraps and fills more of the box, still inside it.
    std::string longText;
    for (int i = 0; i < 12; ++i)
        longText += "证书提示 ";
    ASSERT_TRUE(ShowPopup(longText.c_str()));
    Pump(1000);
    h = CPopupWnd::Instance().Hwnd();
    InvalidateRect(h, NULL, FALSE);
    UpdateWindow(h);
    dc = GetDC(h);
    EXPECT_GT(TextPixels(dc, 44, 60, 5, 176), 10) << "several lines";
    EXPECT_GT(TextPixels(dc, 90, 112, 5, 176), 10);
    EXPECT_EQ(0, TextPixels(dc, 40, 114, 176, 180)) << "5 pixels kept free on the right (180 is the border)";
    ReleaseDC(h, dc);
}

TEST_F(PopupWndTest, RisesHoldsSinksAndIsGone)
{
    ASSERT_TRUE(ShowPopup("cycle"));
    std::vector<Sample> samples;
    Pump(8000, &samples);

    int maxHeight = 0, lastHeight = -1;
    bool rose = true, reachedFull = false, sankBelowFull = false, gone = false;
    DWORD fullAt = 0, sinkAt = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        const Sample &s = samples[i];
        if (!s.exists) {
            if (reachedFull)
                gone = true;
            continue;
        }
        EXPECT_FALSE(gone) << "the pop-up came back";
        if (s.rect.right == s.rect.left && !reachedFull)
            continue; // made at (0, 0) with size 0; placed by the first tick
        EXPECT_EQ(work.right - 181, s.rect.left);
        EXPECT_EQ(181, s.rect.right - s.rect.left);
        int visible = work.bottom - s.rect.top;
        if (!reachedFull) {
            if (lastHeight >= 0 && visible < lastHeight)
                rose = false;
            if (visible > 0) {
                EXPECT_EQ(116, s.rect.bottom - s.rect.top) << "full size while rising";
            }
            if (visible == 116) {
                reachedFull = true;
                fullAt = s.at;
            }
        } else if (visible < 116 && !sankBelowFull) {
            sankBelowFull = true;
            sinkAt = s.at;
        }
        if (sankBelowFull) {
            EXPECT_EQ(visible, s.rect.bottom - s.rect.top) << "only the visible part while sinking";
        }
        if (visible > maxHeight)
            maxHeight = visible;
        lastHeight = visible;
    }
    EXPECT_TRUE(rose);
    EXPECT_EQ(116, maxHeight);
    ASSERT_TRUE(reachedFull);
    ASSERT_TRUE(sankBelowFull);
    EXPECT_GE(sinkAt - fullAt, 4800u) << "holds about 5 s";
    EXPECT_LE(sinkAt - fullAt, 6500u);
    EXPECT_TRUE(gone);
}

TEST_F(PopupWndTest, SecondShowWhileRisingStartsOverFromZero)
{
    ASSERT_TRUE(ShowPopup("first"));
    Pump(200);
    HWND first = CPopupWnd::Instance().Hwnd();
    RECT r;
    ASSERT_TRUE(GetWindowRect(first, &r));
    ASSERT_GT(work.bottom - r.top, 4) << "it should have risen by now";

    ASSERT_TRUE(ShowPopup("second"));
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(0, CPopupWnd::Instance().Motion().VisibleHeight());
    EXPECT_STREQ("second", CPopupWnd::Instance().Body());
    ASSERT_TRUE(GetWindowRect(CPopupWnd::Instance().Hwnd(), &r));
    EXPECT_EQ(0, r.right - r.left); // created at size 0, not yet moved
    Pump(15);
    ASSERT_TRUE(GetWindowRect(CPopupWnd::Instance().Hwnd(), &r));
    EXPECT_LE(work.bottom - r.top, 6);
}

TEST_F(PopupWndTest, TooLongBodyKeepsThePreviousOne)
{
    ASSERT_TRUE(ShowPopup("kept"));
    std::string longText(1024, 'x');
    ASSERT_TRUE(ShowPopup(longText.c_str()));
    EXPECT_STREQ("kept", CPopupWnd::Instance().Body());
    std::string fits(1023, 'y');
    ASSERT_TRUE(ShowPopup(fits.c_str()));
    EXPECT_EQ(fits, CPopupWnd::Instance().Body());
}

TEST_F(PopupWndTest, ClickEndsItAtOnce)
{
    ASSERT_TRUE(ShowPopup("click"));
    Pump(300);
    HWND h = CPopupWnd::Instance().Hwnd();
    ASSERT_TRUE(h != NULL);
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_FALSE(IsWindow(h));
    EXPECT_TRUE(CPopupWnd::Instance().Hwnd() == NULL);
    EXPECT_EQ(POPUP_TIMER_NONE, CPopupWnd::Instance().Motion().CurrentTimer());
}

TEST_F(PopupWndTest, HoverKeepsItAndLeavingLetsItSinkAfterThreeSeconds)
{
    ASSERT_TRUE(ShowPopup("hover"));
    Pump(1000); // fully up
    HWND h = CPopupWnd::Instance().Hwnd();
    ASSERT_TRUE(h != NULL);
    RECT before;
    GetWindowRect(h, &before);
    ASSERT_EQ(116, work.bottom - before.top);
    SetCursorPos(before.left + 50, before.top + 50);
    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));
    EXPECT_TRUE(CPopupWnd::Instance().Motion().Hovering());

    Pump(7000); // longer than the 5 s hold
    ASSERT_TRUE(IsWindow(h));
    RECT held;
    GetWindowRect(h, &held);
    EXPECT_EQ(before.top, held.top);
    EXPECT_EQ(before.bottom, held.bottom);

    SetCursorPos(0, 0);
    SendMessageA(h, WM_MOUSELEAVE, 0, 0);
    Pump(2500);
    ASSERT_TRUE(IsWindow(h)) << "stays about 3 s after the mouse leaves";
    GetWindowRect(h, &held);
    EXPECT_EQ(before.top, held.top);
    DWORD took = PumpUntilGone(4000);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_LT(took, 4000u);
}

TEST_F(PopupWndTest, HoverWhileRisingFreezesWhereItIs)
{
    ASSERT_TRUE(ShowPopup("freeze"));
    Pump(150);
    HWND h = CPopupWnd::Instance().Hwnd();
    RECT a, b;
    GetWindowRect(h, &a);
    SetCursorPos(a.left + 5, a.bottom - 2 > a.top ? a.top + 1 : a.top);
    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(5, 1));
    GetWindowRect(h, &a);
    int visible = work.bottom - a.top;
    EXPECT_GT(visible, 0);
    EXPECT_LT(visible, 116);
    Pump(600);
    GetWindowRect(h, &b);
    EXPECT_EQ(a.top, b.top);
}

} // namespace
