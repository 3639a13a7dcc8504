// The replaceable desktop services: message boxes, opening addresses, modal windows. Every test
// installs a handler, so no real dialog or browser is ever opened.
#include "game/seams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Puts back whatever handler was installed before the test.
template <class Handler, Handler (*Set)(Handler)>
class RestoreHandler {
  public:
    RestoreHandler() : saved_(Set(Handler())) {}
    ~RestoreHandler() { Set(saved_); }

  private:
    Handler saved_;
};

using RestoreMsgBox = RestoreHandler<msgbox::Handler, &msgbox::setHandler>;
using RestoreShell = RestoreHandler<shell::Handler, &shell::setHandler>;
using RestoreModal = RestoreHandler<modal::Handler, &modal::setHandler>;

struct BoxCall {
    std::string prompt;
    int style;
    std::string title;
};

TEST(MsgBox, HandlerGetsTheBoxAndItsAnswerIsReturned) {
    RestoreMsgBox restore;
    std::vector<BoxCall> calls;
    std::vector<int> answers = {msgbox::kNo, msgbox::kYes, msgbox::kOk};
    msgbox::setHandler([&](const std::string& prompt, int style, const std::string& title) {
        calls.push_back({prompt, style, title});
        return answers[calls.size() - 1];
    });

    const int yesNo = msgbox::kYesNo | msgbox::kQuestion | msgbox::kDefaultButton2;
    EXPECT_EQ(MsgBox("Start a new game?\r\nThe current one is lost.", yesNo, "New game"),
              msgbox::kNo);
    EXPECT_EQ(MsgBox("Really?", msgbox::kYesNo, "Confirm"), msgbox::kYes);
    EXPECT_EQ(MsgBox("", msgbox::kOkOnly | msgbox::kCritical, ""), msgbox::kOk);

    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].prompt, "Start a new game?\r\nThe current one is lost.");
    EXPECT_EQ(calls[0].style, yesNo);
    EXPECT_EQ(calls[0].title, "New game");
    EXPECT_EQ(calls[1].prompt, "Really?");
    EXPECT_EQ(calls[1].style, msgbox::kYesNo);
    EXPECT_EQ(calls[2].style, msgbox::kCritical);
    EXPECT_TRUE(calls[2].title.empty());
}

TEST(MsgBox, SetHandlerReturnsThePreviousOne) {
    RestoreMsgBox restore;
    EXPECT_FALSE(msgbox::setHandler([](const std::string&, int, const std::string&) { return 1; }));
    msgbox::Handler first =
        msgbox::setHandler([](const std::string&, int, const std::string&) { return 7; });
    ASSERT_TRUE(first);
    EXPECT_EQ(first("", 0, ""), 1);
    EXPECT_EQ(MsgBox("", 0, ""), 7) << "the newer handler answers";
    msgbox::Handler second = msgbox::setHandler(msgbox::Handler());
    ASSERT_TRUE(second);
    EXPECT_EQ(second("", 0, ""), 7);
    EXPECT_FALSE(msgbox::setHandler(std::move(first))) << "the empty handler was installed";
    EXPECT_EQ(MsgBox("", 0, ""), 1);
}

TEST(Shell, HandlerGetsEveryAddressUnchanged) {
    RestoreShell restore;
    std::vector<std::string> opened;
    shell::setHandler([&](const std::string& address) { opened.push_back(address); });
    const std::vector<std::string> addresses = {"https://example.org/tessle?x=1&y=2",
                                                "mailto:someone@example.org?subject=Tessle", ""};
    for (const std::string& a : addresses) OpenAddress(a);
    EXPECT_EQ(opened, addresses);
}

TEST(Shell, SetHandlerReturnsThePreviousOne) {
    RestoreShell restore;
    std::string seen;
    EXPECT_FALSE(shell::setHandler([&](const std::string& a) { seen = "first:" + a; }));
    shell::Handler first = shell::setHandler([&](const std::string& a) { seen = "second:" + a; });
    ASSERT_TRUE(first);
    OpenAddress("x");
    EXPECT_EQ(seen, "second:x");
    first("y");
    EXPECT_EQ(seen, "first:y");
    shell::Handler second = shell::setHandler(shell::Handler());
    ASSERT_TRUE(second);
    EXPECT_FALSE(shell::setHandler(std::move(first)));
}

TEST(Modal, HandlerGetsTheWindowAndItsUnloadClosesIt) {
    RestoreModal restore;
    std::vector<ModalWindow*> shown;
    int closed = 0;
    modal::setHandler([&](ModalWindow& window) {
        shown.push_back(&window);
        window.onUnload = [&] { ++closed; };
        window.Unload();
        window.onUnload = nullptr;
    });
    ModalWindow a, b;
    ShowModal(a);
    ShowModal(b);
    EXPECT_EQ(shown, (std::vector<ModalWindow*>{&a, &b}));
    EXPECT_EQ(closed, 2);
    a.Unload();  // no longer shown: nothing to close
    EXPECT_EQ(closed, 2);
}

TEST(Seams, WithoutHandlersQuestionsAnswerNoAndNothingOpens) {
    RestoreMsgBox restoreBox;
    RestoreModal restoreModal;
    RestoreShell restoreShell;
    EXPECT_EQ(MsgBox("Give up?", msgbox::kYesNo | msgbox::kQuestion, ""), msgbox::kNo);
    EXPECT_EQ(MsgBox("Done.", msgbox::kInformation, ""), msgbox::kOk);
    ModalWindow w;
    ShowModal(w);
    OpenAddress("https://example.org/");
}

TEST(Modal, SetHandlerReturnsThePreviousOne) {
    RestoreModal restore;
    int calls = 0;
    EXPECT_FALSE(modal::setHandler([&](ModalWindow&) { calls += 1; }));
    modal::Handler first = modal::setHandler([&](ModalWindow&) { calls += 100; });
    ASSERT_TRUE(first);
    ModalWindow d;
    ShowModal(d);
    EXPECT_EQ(calls, 100);
    first(d);
    EXPECT_EQ(calls, 101);
    modal::Handler second = modal::setHandler(modal::Handler());
    ASSERT_TRUE(second);
    EXPECT_FALSE(modal::setHandler(std::move(first)));
}

}  // namespace
