#include "solver/maker_site.h"

#include <gtest/gtest.h>

namespace {

const std::string kBase = maker_site::kBase;

TEST(Addresses, AreBuiltExactlyAsTheSiteExpectsThem) {
    EXPECT_EQ(maker_site::loadAddress("023156478"),
              kBase + "/soft/tessle.asp?Step=0&Map=023156478");
    EXPECT_EQ(maker_site::stepAddress(0, "023156478", 1),
              kBase + "/soft/tessle.asp?Step=0&map=023156478IPic=1");
    EXPECT_EQ(maker_site::stepAddress(17, "123456708", 4),
              kBase + "/soft/tessle.asp?Step=17&map=123456708IPic=4");
    EXPECT_EQ(maker_site::noSolutionAddress(), kBase + "/soft/tessle2.asp");
}

TEST(Parse, TheThreeFormsOfAddress) {
    const auto load = maker_site::parse(maker_site::loadAddress("023156478"));
    EXPECT_EQ(load.kind, maker_site::Page::kBoard);
    EXPECT_EQ(load.step, 0);
    EXPECT_EQ(load.position, "023156478");
    EXPECT_EQ(load.picture, 1);  // the load address names no picture

    const auto step = maker_site::parse(maker_site::stepAddress(31, "867254301", 3));
    EXPECT_EQ(step.kind, maker_site::Page::kBoard);
    EXPECT_EQ(step.step, 31);
    EXPECT_EQ(step.position, "867254301");
    EXPECT_EQ(step.picture, 3);

    EXPECT_EQ(maker_site::parse(maker_site::noSolutionAddress()).kind,
              maker_site::Page::kNoSolution);
    // The numbered big-board picture stands for picture 1 here.
    EXPECT_EQ(maker_site::parse(maker_site::stepAddress(2, "123456708", 5)).picture, 1);
}

class Malformed : public ::testing::TestWithParam<std::string> {};

TEST_P(Malformed, GivesAnErrorPage) {
    const auto page = maker_site::parse(GetParam());
    EXPECT_EQ(page.kind, maker_site::Page::kError) << GetParam();
    EXPECT_FALSE(page.reason.empty());
    const std::string html = maker_site::html(page, "page:image");
    EXPECT_NE(html.find("无法显示此页"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, Malformed,
    ::testing::Values(
        "", "https://elsewhere.example/soft/tessle.asp?Step=0&Map=123456780",
        kBase + "/soft/other.asp", kBase + "/soft/tessle2.asp?x=1", kBase + "/soft/tessle.asp",
        kBase + "/soft/tessle.asp?Step=&Map=123456780",
        kBase + "/soft/tessle.asp?Step=-1&Map=123456780",
        kBase + "/soft/tessle.asp?Step=01&Map=123456780",
        kBase + "/soft/tessle.asp?Step=999999&Map=123456780",
        kBase + "/soft/tessle.asp?Step=1x&Map=123456780",
        kBase + "/soft/tessle.asp?Step=0",                 // no position
        kBase + "/soft/tessle.asp?Step=0&MAP=123456780",   // unknown key
        kBase + "/soft/tessle.asp?Step=0&Map=12345678",    // too short
        kBase + "/soft/tessle.asp?Step=0&Map=1234567800",  // too long
        kBase + "/soft/tessle.asp?Step=0&Map=113456780",   // repeated tile
        kBase + "/soft/tessle.asp?Step=0&Map=12345678a",   // not a digit
        kBase + "/soft/tessle.asp?Step=0&Map=12345678010111213141516",
        kBase + "/soft/tessle.asp?Step=0&map=123456780",       // picture missing
        kBase + "/soft/tessle.asp?Step=0&map=123456780IPic=",  // empty picture
        kBase + "/soft/tessle.asp?Step=0&map=123456780IPic=0",
        kBase + "/soft/tessle.asp?Step=0&map=123456780IPic=6",
        kBase + "/soft/tessle.asp?Step=0&map=123456780IPic=2x",
        kBase + "/soft/tessle.asp?Step=0&map=123456780&IPic=2",  // "&" is not in this address
        kBase + "/soft/tessle.asp?Step=0&Map=<b>12345678"));

TEST(Html, BoardPageShowsTheStepAndNamesTheImage) {
    const auto page = maker_site::parse(maker_site::stepAddress(3, "123456708", 2));
    const std::string html = maker_site::html(page, "page:image");
    EXPECT_NE(html.find("第3步"), std::string::npos);
    EXPECT_NE(html.find("<img src=\"page:image\">"), std::string::npos);
    const std::string start =
        maker_site::html(maker_site::parse(maker_site::loadAddress("123456708")), "x");
    EXPECT_NE(start.find("开始局面"), std::string::npos);
}

TEST(Html, NoSolutionPageSaysSo) {
    const std::string html =
        maker_site::html(maker_site::parse(maker_site::noSolutionAddress()), "x");
    EXPECT_NE(html.find("问题无解"), std::string::npos);
    EXPECT_EQ(html.find("<img"), std::string::npos);
}

TEST(Html, ReasonsAreEscaped) {
    maker_site::Page page;
    page.kind = maker_site::Page::kError;
    page.reason = "<script>&";
    const std::string html = maker_site::html(page, "x");
    EXPECT_EQ(html.find("<script>"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;&amp;"), std::string::npos);
}

}  // namespace
