#include "keymgr/shell/browser/BrowserAddress.h"

#include <gtest/gtest.h>

namespace {

std::string Arg(const std::string &address)
{
    std::string argument = "<none>";
    return BrowserArgumentFor(address, &argument) ? argument : "<refused>";
}

TEST(BrowserAddress, WebAddressesBecomeOneQuotedArgument)
{
    EXPECT_EQ("\"https://ebank.example.cn/login?a=1&b=2\"", Arg("https://ebank.example.cn/login?a=1&b=2"));
    EXPECT_EQ("\"HTTP://bank.example/a b\"", Arg("HTTP://bank.example/a b")) << "a blank stays inside";
    EXPECT_EQ("\"Https://bank.example/ -nohome\"", Arg("Https://bank.example/ -nohome"));
    // A trailing backslash must not escape the closing quote.
    EXPECT_EQ("\"http://bank.example/x\\\\\"", Arg("http://bank.example/x\\"));
    EXPECT_EQ("\"http://bank.example/\\x\"", Arg("http://bank.example/\\x"));
}

TEST(BrowserAddress, BareHostNamesOpenAsHttp)
{
    EXPECT_EQ("\"http://www.bank.example\"", Arg("www.bank.example"));
    EXPECT_EQ("\"http://ebank.example.cn:8443/login?a=1\"", Arg("ebank.example.cn:8443/login?a=1"));
    EXPECT_EQ("\"http://192.168.1.10/x y\"", Arg("192.168.1.10/x y"));
    EXPECT_EQ("\"http://my-bank.example#top\"", Arg("my-bank.example#top"));
    EXPECT_TRUE(BrowserCanOpen("www.bank.example"));
    EXPECT_FALSE(BrowserCanOpen("about:blank")) << "what the page refuses is what is never opened";
}

TEST(BrowserAddress, EverythingElseIsRefused)
{
    for (const char *address : {"", "-extoff", "-extoff https://bank.example/", " https://bank.example/",
                                "file:///C:/windows/win.ini", "about:blank", "javascript:alert(1)",
                                "httpx://bank.example/", "http:/bank.example/", "https:bank.example",
                                "https://bank.example/\" -nohome \"", "https://bank.example/\r\nx",
                                "https://bank.example/\tx", "http://", "https://", "bank", "bank.", ".bank.example",
                                "bank..example", "-bank.example", "bank-.example", "bank.example:", "bank.example:80x",
                                "bank.example:123456", "bank_x.example", "bank.example\\", "www.bank.example\" -nohome",
                                "mailto:x@bank.example"}) {
        EXPECT_EQ("<refused>", Arg(address)) << address;
    }
}

} // namespace
