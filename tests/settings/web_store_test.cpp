// The browser's store (settings_store_web.cpp) on the test programs' localStorage: keys and text
// as the page leaves them in the browser, and the failures a browser gives.
#include "settings/settings_store.h"
#include "support/web_storage.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

const std::string kApp = "Tessle";

class WebStore : public ::testing::Test {
  protected:
    void SetUp() override {
        web_storage::clear();
        previous_ = store::setErrorHandler([this] { ++failures; });
    }
    void TearDown() override {
        store::setErrorHandler(previous_);
        web_storage::clear();
    }

    int failures = 0;

  private:
    store::ErrorHandler previous_;
};

TEST_F(WebStore, ValuesRoundTripAsDecimalTextUnderTheVendorKey) {
    SaveRegValue(kApp, "MinStep33", -2147483647 - 1);
    SaveRegValue(kApp, "MinStep44", 99999);
    EXPECT_EQ(GetRegValue(kApp, "MinStep33"), -2147483647 - 1);
    EXPECT_EQ(GetRegValue(kApp, "MinStep44"), 99999);
    EXPECT_EQ(web_storage::item("KORVANEL/Tessle/minstep44"), "99999");
    EXPECT_EQ(GetRegValue("Other", "MinStep44"), 0) << "another application's values are apart";
    EXPECT_EQ(failures, 0);
}

TEST_F(WebStore, NamesMatchWithoutRegardToCase) {
    SaveRegValue(kApp, "PType", 3);
    EXPECT_EQ(GetRegValue(kApp, "PTYPE"), 3);
    SaveRegValue(kApp, "ptype", 4);
    EXPECT_EQ(GetRegValue(kApp, "PType"), 4);
    EXPECT_EQ(web_storage::item("KORVANEL/Tessle/ptype"), "4");
    EXPECT_EQ(web_storage::item("KORVANEL/Tessle/PType"), std::nullopt);
}

// Another page of the origin, or the player, may leave anything under the game's keys.
TEST_F(WebStore, MissingOrNonNumericTextReadsAsZero) {
    EXPECT_EQ(GetRegValue(kApp, "PType"), 0);
    web_storage::setItem("KORVANEL/Tessle/ptype", "+42");
    EXPECT_EQ(GetRegValue(kApp, "PType"), 42);
    for (const char* text : {"", "x", "4x", " 4", "4.0", "2147483648", "-"}) {
        web_storage::setItem("KORVANEL/Tessle/ptype", text);
        EXPECT_EQ(GetRegValue(kApp, "PType"), 0) << '"' << text << '"';
    }
}

TEST_F(WebStore, AFullStoreReportsTheWriteOnceAndKeepsTheOldValue) {
    SaveRegValue(kApp, "MinStep33", 31);
    web_storage::setFull(true);
    SaveRegValue(kApp, "MinStep33", 25);
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(GetRegValue(kApp, "MinStep33"), 31);
    web_storage::setFull(false);
    SaveRegValue(kApp, "MinStep33", 25);
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(GetRegValue(kApp, "MinStep33"), 25);
}

}  // namespace
