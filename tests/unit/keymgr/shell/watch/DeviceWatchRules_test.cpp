#include "keymgr/pages/deviceinfo/CustomerId.h"
#include "keymgr/shell/defaultpin/DefaultPinTries.h"
#include "keymgr/shell/token/CurrentToken.h"
#include "keymgr/shell/token/OpenedToken.h"
#include "keymgr/shell/token/ReaderListRead.h"
#include "keymgr/shell/token/ReaderSlots.h"
#include "keymgr/shell/watch/DeviceWatchSteps.h"
#include "keymgr/shell/watch/HandlerGate.h"
#include "keymgr/shell/watch/ReaderWatch.h"
#include "keymgr/shell/watch/RegisteredCertText.h"
#include "keymgr/shell/watch/WatchedReaders.h"
#include "tests/unit/keymgr/FakeTokenLibrary.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {


std::vector<std::string> g_handledAtOnce;
void HandleAtOnce(const char *reader)
{
    g_handledAtOnce.push_back(reader);
}
int TOKAPI Handler(void *)
{
    return 0;
}

const uint32_t kOddLengths[] = {0u, 0xFFFFFFFEu, 0xFFFFFFFFu};

// Writes what the handler steps ask of the windows into the library's call
// log, so that one list shows both in their order.
class RecordingOutlet : public IWatchOutlet {
public:
    explicit RecordingOutlet(FakeTokenLibrary &lib) : m_lib(lib) {}
    bool FrameAlive() const override { return frame; }
    void Pause(unsigned) override {}
    void Trace(const std::string &line) override { Log("trace " + line); }
    void PostInsertedNotice(const char *reader) override { Log(std::string("notice inserted ") + reader); }
    void PostCertificateNotice(const char *reader, const char *text) override
    {
        Log(std::string("notice certificate ") + reader + ": " + text);
    }
    void PostRemovedNotice(const char *reader) override { Log(std::string("notice removed ") + reader); }
    void PostRefresh() override { Log("refresh"); }
    void OpenWebPages() override { Log("open pages"); }
    void CloseWebPages() override { Log("close pages"); }
    void RequestCertificate() override { Log("request page"); }
    void RemoveTokenIcon() override { Log("icon removed"); }
    void ClearSslState() override { Log("ssl cleared"); }
    void ReadWebSettings(FrameWebSettings &settings) override { settings = web; }

    bool frame = true;
    FrameWebSettings web;

private:
    void Log(const std::string &what)
    {
        if (frame)
            m_lib.calls.push_back(what);
    }
    FakeTokenLibrary &m_lib;
};

std::vector<std::string> WatchSteps(const std::vector<std::string> &calls)
{
    std::vector<std::string> steps;
    for (const std::string &c : calls)
        if (c.compare(0, 13, "QKGetDevState") != 0)
            steps.push_back(c);
    return steps;
}

} // namespace

TEST(LibraryLengths, OddReaderListSizesAreRefusedBeforeAnyAllocation)
{
    for (uint32_t size : kOddLengths) {
        FakeTokenLibrary lib;
        lib.Add("R0");
        lib.overrideListSize = true;
        lib.listSize = size;
        ReaderList list;
        list.Assign("old\0", 5, 1);
        uint32_t rc = ReadReaderList(list);
        if (size == 0) {
            EXPECT_EQ(0u, rc);
            EXPECT_EQ(0u, list.Size());
        } else {
            EXPECT_EQ(TOK_ERR_BAD_LENGTH, rc) << size;
        }
        // Only the measuring call: nothing is filled into a wrapped buffer.
        EXPECT_EQ(1, lib.Count("QKListReaders")) << size;

        char id[CUSTOMER_ID_BUFFER_SIZE];
        ReadCustomerId(id);
        EXPECT_STREQ("", id);
        EXPECT_EQ(2, lib.Count("QKListReaders")) << size;
    }
    FakeTokenLibrary lib;
    lib.Add("R0");
    lib.Add("R1");
    ReaderList list;
    ASSERT_EQ(0u, ReadReaderList(list));
    ASSERT_EQ(2u, list.Size());
    EXPECT_STREQ("R1", list.Name(1));
}

TEST(LibraryLengths, CertificateTextBufferIsBoundedWhateverTheLibrarySays)
{
    for (uint32_t length : kOddLengths) {
        FakeTokenLibrary lib;
        lib.Add("R0");
        lib.regCertInfoLen = length;
        RegisteredCertText text;
        text.Allocate();
        EXPECT_LE(text.Capacity(), static_cast<uint32_t>(CERT_TEXT_MAX_SIZE));
        EXPECT_EQ(length == 0 ? 0u : static_cast<uint32_t>(CERT_TEXT_MAX_SIZE), text.Capacity());
        std::string loaded = text.Load("R0");
        EXPECT_LE(lib.lastCertInfoLength, text.Capacity());
        EXPECT_EQ(length == 0 ? "" : "CERTS OF R0", loaded);
    }
    // The length may grow after allocation: the buffer's size still holds.
    FakeTokenLibrary lib;
    lib.Add("R0").certText = "0123456789";
    lib.regCertInfoLen = 4;
    RegisteredCertText text;
    text.Allocate();
    lib.regCertInfoLen = 0xFFFFFFFFu;
    EXPECT_EQ("012", text.Load("R0"));
    EXPECT_EQ(4u, lib.lastCertInfoLength);
}

TEST(CertificateNotice, EachReaderGetsItsOwnTextWhateverTheResult)
{
    FakeTokenLibrary lib;
    lib.Add("A");
    lib.Add("B");
    RegisteredCertText text;
    text.Allocate();
    std::string a = text.Load("A");
    std::string b = text.Load("B");
    EXPECT_EQ("CERTS OF A", a); // what A's notice carries, after B was loaded
    EXPECT_EQ("CERTS OF B", b);
    lib.tokens["A"].loadCertResult = 0x88000001;
    EXPECT_EQ("CERTS OF A", text.Load("A")) << "the result is not looked at";
    lib.tokens["A"].certText.clear();
    EXPECT_EQ("", text.Load("A")); // a call that wrote nothing: not B's text again
}

TEST(ReaderWatch, ReadersAfterAFailingOneAreStillWatched)
{
    FakeTokenLibrary lib;
    lib.Add("R0").stateResult = 0x88000001;
    lib.Add("R1").watchResult = 0x88000002;
    lib.Add("R2");
    lib.Add("R3").present = false;
    ReaderList readers = ListOf(lib);
    g_handledAtOnce.clear();
    EXPECT_EQ(2u, WatchReaders(readers, &Handler, &Handler, &HandleAtOnce));
    EXPECT_EQ(0, lib.Count("watch R0"));
    EXPECT_EQ(1, lib.Count("watch R1"));
    EXPECT_EQ(1, lib.Count("watch R2"));
    EXPECT_EQ(1, lib.Count("watch R3"));
    EXPECT_EQ((std::vector<std::string>{"R1", "R2"}), g_handledAtOnce);
}

TEST(ReaderWatch, ReadersListedAgainWatchNewOnesAsAtStartAndForgetGoneOnes)
{
    FakeTokenLibrary lib;
    lib.Add("R0");
    lib.Add("R1").present = false;
    WatchedReaders watched;
    g_handledAtOnce.clear();
    EXPECT_EQ(2u, watched.WatchNew(ListOf(lib), &Handler, &Handler, &HandleAtOnce));
    EXPECT_EQ(0u, watched.WatchNew(ListOf(lib), &Handler, &Handler, &HandleAtOnce));

    lib.Add("R3");
    lib.Add("R2").present = false;
    lib.readerOrder.erase(lib.readerOrder.begin()); // R0 went away
    lib.calls.clear();
    EXPECT_EQ(2u, watched.WatchNew(ListOf(lib), &Handler, &Handler, &HandleAtOnce));
    EXPECT_EQ((std::vector<std::string>{"R0", "R3"}), g_handledAtOnce); // present first, as at start
    std::vector<std::string> registered;
    for (const std::string &call : lib.calls)
        if (call.compare(0, 6, "watch ") == 0)
            registered.push_back(call);
    EXPECT_EQ((std::vector<std::string>{"watch R3", "watch R2"}), registered);

    lib.readerOrder.insert(lib.readerOrder.begin(), "R0"); // and came back
    EXPECT_EQ(1u, watched.WatchNew(ListOf(lib), &Handler, &Handler, &HandleAtOnce));
    EXPECT_EQ(1, lib.Count("watch R0")); // again, since the calls were cleared
    // Every list above is gone; what the library holds still names its reader.
    for (const char *r : {"R0", "R1", "R2", "R3"})
        EXPECT_STREQ(r, static_cast<const char *>(lib.contexts[r]));
}

TEST(ReaderWatch, TokenIconStaysWhileAnyTokenIsPresent)
{
    FakeTokenLibrary lib;
    lib.Add("mine").present = false;
    lib.Add("foreign").pinCodeMatches = false;
    ReaderList readers = ListOf(lib);
    EXPECT_TRUE(AnyTokenPresent(readers));
    lib.tokens["foreign"].present = false;
    EXPECT_FALSE(AnyTokenPresent(readers));
    lib.tokens["mine"].present = true;
    lib.tokens["mine"].stateResult = 0x88000001; // unreadable counts as absent
    EXPECT_FALSE(AnyTokenPresent(readers));
}

TEST(HandlerGate, ExitWaitsForRunsInsideAndRefusesLateOnes)
{
    HandlerGate gate;
    std::atomic<bool> inside(false), release(false), finished(false);
    std::thread run([&] {
        HandlerGateRun handler(gate);
        ASSERT_TRUE(handler.Entered());
        inside = true;
        while (!release)
            std::this_thread::yield();
        finished = true;
    });
    while (!inside)
        std::this_thread::yield();
    EXPECT_FALSE(gate.CloseAndWait(50)); // still inside
    {
        HandlerGateRun late(gate);
        EXPECT_FALSE(late.Entered());
    }
    release = true;
    EXPECT_TRUE(gate.CloseAndWait(5000));
    EXPECT_TRUE(finished);
    run.join();
    EXPECT_FALSE(gate.Enter());
    gate.Reopen();
    EXPECT_TRUE(gate.Enter());
    gate.Leave();
}

TEST(OpenedToken, LabelAndPinGoToTheTokenTheyWereTypedFor)
{
    FakeTokenLibrary lib;
    lib.Add("A").serial = "AAAAAAAAAAAAAAAAA";
    lib.Add("B").serial = "BBBBBBBBBBBBBBBBB";
    SetCurrentReader("A");
    OpenedToken opened = CaptureOpenedToken();
    SetCurrentReader("B"); // B inserted while the dialog is open
    uint8_t tries = 0;
    EXPECT_EQ(0u, WriteOpenedTokenLabel(opened, "123456", "new", &tries));
    EXPECT_EQ(1, lib.Count("OC_WriteLabel A 123456 new"));
    EXPECT_EQ(0, lib.Count("OC_WriteLabel B 123456 new"));

    // A swapped for another token in the same reader: nothing is sent.
    lib.tokens["A"].serial = "CCCCCCCCCCCCCCCCC";
    EXPECT_EQ(TOK_ERR_TOKEN_CHANGED, WriteOpenedTokenLabel(opened, "123456", "again", &tries));
    lib.tokens["A"].serial = "AAAAAAAAAAAAAAAAA";
    lib.tokens["A"].present = false;
    EXPECT_EQ(TOK_ERR_TOKEN_CHANGED, WriteOpenedTokenLabel(opened, "123456", "again", &tries));
    EXPECT_EQ(0, lib.Count("OC_WriteLabel A 123456 again"));

    // The PIN page: the same rule, before any try is spent.
    lib.tokens["A"].present = true;
    EXPECT_EQ(0u, ChangeOpenedTokenPin(opened, "123456", "654321", &tries));
    EXPECT_EQ(1, lib.Count("OC_ChangeUserPin A 123456 654321"));
    lib.tokens["A"].present = false;
    EXPECT_EQ(TOK_ERR_TOKEN_CHANGED, ChangeOpenedTokenPin(opened, "654321", "111111", &tries));
    EXPECT_EQ(0, lib.Count("OC_ChangeUserPin A 654321 111111"));
    EXPECT_EQ(0, lib.Count("OC_ChangeUserPin B 654321 111111"));

    // A token whose serial cannot be read: what the device watch saw on its
    // reader decides. It may change, until a removal comes through.
    lib.tokens["A"].present = true;
    lib.tokens["A"].serialResult = 1;
    SetCurrentReader("A");
    OpenedToken unreadable = CaptureOpenedToken();
    EXPECT_EQ(0u, WriteOpenedTokenLabel(unreadable, "123456", "third", &tries));
    EXPECT_EQ(0u, ChangeOpenedTokenPin(unreadable, "123456", "222222", &tries));
    EXPECT_EQ(0u, WriteOpenedTokenPinTag(unreadable));
    RecordingOutlet out(lib);
    RegisteredCertText text;
    text.Allocate();
    RunRemovalSteps(out, "A", ListOf(lib)); // out and in again, too fast to see
    RunInsertionSteps(out, "A", text);
    lib.calls.clear();
    EXPECT_EQ(TOK_ERR_TOKEN_CHANGED, WriteOpenedTokenLabel(unreadable, "123456", "fourth", &tries));
    EXPECT_EQ(TOK_ERR_TOKEN_CHANGED, ChangeOpenedTokenPin(unreadable, "123456", "333333", &tries));
    EXPECT_EQ(TOK_ERR_TOKEN_CHANGED, WriteOpenedTokenPinTag(unreadable));
    EXPECT_EQ((std::vector<std::string>{"QKGetDevState A", "QKGetDevState A", "QKGetDevState A"}), lib.calls);
    // Readable when opened, unreadable now: the count alone still holds.
    lib.tokens["A"].serialResult = 0;
    OpenedToken readable = CaptureOpenedToken();
    lib.tokens["A"].serialResult = 1;
    EXPECT_EQ(0u, WriteOpenedTokenLabel(readable, "123456", "fifth", &tries));
}

TEST(CurrentTokenRecord, ReaderSetFromAnotherThreadNeverTearsASnapshot)
{
    FakeTokenLibrary lib;
    const std::string a(200, 'a'), b(120, 'b');
    SetCurrentReader("");
    std::atomic<bool> stop(false);
    std::thread writer([&] {
        for (int i = 0; !stop; ++i)
            SetCurrentReader(i % 2 ? a.c_str() : b.c_str());
    });
    size_t torn = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string seen = SnapshotCurrentToken().reader;
        torn += !(seen == a || seen == b || seen.empty());
    }
    stop = true;
    writer.join();
    EXPECT_EQ(0u, torn);
}

TEST(HandlerSteps, InsertionAnnouncesByPopupTypeThenOpensPagesOrTheRequestPage)
{
    FakeTokenLibrary lib;
    lib.Add("R");
    lib.msnType = 1;
    RecordingOutlet out(lib);
    out.web.setEvent = true;
    out.web.request = 1;
    RegisteredCertText text;
    text.Allocate();
    EXPECT_TRUE(RunInsertionSteps(out, "R", text));
    EXPECT_EQ((std::vector<std::string>{"notice inserted R", "CSPLoadCertToIE R", "notice certificate R: CERTS OF R",
                                        "OC_GetContainerNum R", "open pages", "refresh"}),
              lib.calls);
    EXPECT_STREQ("R", SnapshotCurrentToken().reader);
    EXPECT_TRUE(PendingDefaultPinTries().Take("R"));

    // Type 2: the certificate notice only; a token without containers gets
    // the request page instead of the bank's pages.
    lib.calls.clear();
    lib.msnType = 2;
    lib.tokens["R"].containers = 0;
    RunCertificateSteps(out, "R", text);
    EXPECT_EQ((std::vector<std::string>{"CSPLoadCertToIE R", "notice certificate R: CERTS OF R",
                                        "OC_GetContainerNum R", "request page"}),
              lib.calls);

    // A count that cannot be read opens the pages and asks for no request.
    lib.calls.clear();
    lib.msnType = 0;
    lib.tokens["R"].containerResult = 0x88000001;
    RunCertificateSteps(out, "R", text);
    EXPECT_EQ((std::vector<std::string>{"CSPLoadCertToIE R", "OC_GetContainerNum R", "open pages"}), lib.calls);

    // A reader name too long for the notice skips the step.
    lib.calls.clear();
    const std::string longName(READER_NAME_SIZE, 'L');
    RunCertificateSteps(out, longName.c_str(), text);
    EXPECT_TRUE(lib.calls.empty());
}

TEST(HandlerSteps, PinCodeCheckIgnoresAForeignTokenUntilItsRemoval)
{
    FakeTokenLibrary lib;
    lib.Add("mine");
    lib.Add("foreign").pinCodeMatches = false;
    lib.pinCodeCheck = true;
    lib.msnType = 2;
    VerifiedReaders().Reset();
    RecordingOutlet out(lib);
    out.web.setEvent = true;
    RegisteredCertText text;
    text.Allocate();

    EXPECT_FALSE(RunInsertionSteps(out, "foreign", text));
    EXPECT_EQ((std::vector<std::string>{"PCODE_Compare foreign"}), lib.calls);
    EXPECT_FALSE(PendingDefaultPinTries().Take("foreign"));
    ASSERT_TRUE(RunInsertionSteps(out, "mine", text));

    // The foreign token leaves: the view refreshes, nothing else; the icon
    // stays while "mine" is in.
    lib.calls.clear();
    lib.tokens["foreign"].present = false;
    EXPECT_FALSE(RunRemovalSteps(out, "foreign", ListOf(lib)));
    EXPECT_EQ((std::vector<std::string>{"refresh"}), WatchSteps(lib.calls));

    // The verified token leaves: announced, caches refreshed, pages closed,
    // the icon goes with the last token.
    lib.calls.clear();
    lib.tokens["mine"].present = false;
    EXPECT_TRUE(RunRemovalSteps(out, "mine", ListOf(lib)));
    EXPECT_EQ((std::vector<std::string>{"refresh", "notice removed mine", "CSPRefreshIECert", "ZVRefreshCachedPin",
                                        "ZVClearCachedCSP", "ssl cleared", "close pages", "icon removed",
                                        "ssl cleared"}),
              WatchSteps(lib.calls));
    // Its flag was taken: a second removal does not count.
    EXPECT_FALSE(RunRemovalSteps(out, "mine", ListOf(lib)));

    // Once the frame is gone nothing asks whether a token is left.
    lib.calls.clear();
    out.frame = false;
    RunRemovalSteps(out, "foreign", ListOf(lib));
    EXPECT_EQ(0, lib.Count("QKGetDevState mine"));
}
