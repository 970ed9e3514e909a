#include "keymgr/shell/browser/BrowserMatch.h"

#include <gtest/gtest.h>

namespace {

TEST(BrowserMatch, CaseInsensitiveSubstring)
{
    std::vector<std::string> a = {"ebank.example.cn/login", "https://Pay.Example/"};
    EXPECT_TRUE(LocationMatchesAny("https://EBANK.example.cn/login?x=1", a));
    EXPECT_TRUE(LocationMatchesAny("HTTPS://pay.example/cart", a));
    EXPECT_FALSE(LocationMatchesAny("https://ebank.example.cn/", a));
    EXPECT_FALSE(LocationMatchesAny("", a));
    EXPECT_FALSE(LocationMatchesAny("https://pay.example/", {}));
}

TEST(BrowserMatch, EmptyAddressMatchesNothing)
{
    EXPECT_FALSE(LocationMatchesAny("https://any.example/", {""}));
    EXPECT_TRUE(LocationMatchesAny("https://any.example/", {"", "any"}));
}

TEST(BrowserMatch, WindowsToCloseInOrderOnce)
{
    std::vector<BrowserWindowInfo> w = {
        {11, "https://bank.example/a"}, {12, "https://other.example/"}, {13, "https://BANK.example/b"},
        {11, "https://bank.example/a"}, {0, "https://bank.example/c"},
    };
    std::vector<uintptr_t> c = BrowserWindowsToClose(w, {"bank.example"});
    ASSERT_EQ(2u, c.size());
    EXPECT_EQ(11u, c[0]);
    EXPECT_EQ(13u, c[1]);
}

} // namespace
