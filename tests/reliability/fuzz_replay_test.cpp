// The fuzzers' properties on every saved input, so that what a fuzzer once found stays fixed in
// builds without clang, and the faults they found, spelled out.
#include "fuzz/checks.h"
#include "settings/settings_store.h"
#include "solver/maker_site.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

namespace {

struct Corpus {
    const char* name;
    std::function<std::string(const std::uint8_t*, std::size_t)> check;
};

void PrintTo(const Corpus& c, std::ostream* os) {
    *os << c.name;
}

class Replay : public ::testing::TestWithParam<Corpus> {
  protected:
    void SetUp() override { previous_ = store::directory(); }
    void TearDown() override {
        store::setDirectory(previous_);
        store::setErrorHandler({});
    }
    std::string previous_;
};

TEST_P(Replay, EverySavedInputKeepsItsProperties) {
    const QDir dir(QStringLiteral(TESSLE_FUZZ_CORPUS "/") + GetParam().name);
    const QStringList files = dir.entryList(QDir::Files);
    EXPECT_GE(files.size(), 3) << dir.path().toStdString();
    for (const QString& name : files) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        EXPECT_EQ(GetParam().check(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                   static_cast<std::size_t>(bytes.size())),
                  "")
            << name.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Corpora, Replay,
                         ::testing::Values(Corpus{"store", fuzz_checks::store},
                                           Corpus{"solver", fuzz_checks::solver},
                                           Corpus{"site", fuzz_checks::site}),
                         [](const ::testing::TestParamInfo<Corpus>& info) {
                             return std::string(info.param.name);
                         });

// The load address is the page of the start: with a step number other than 0 it is none of the
// site's addresses, and rebuilding it from the page would give another address.
TEST(FoundByFuzzing, LoadAddressWithAStepIsRefused) {
    const std::string base = maker_site::kBase;
    for (const char* step : {"1", "31", "99999"}) {
        const auto page =
            maker_site::parse(base + "/soft/tessle.asp?Step=" + step + "&Map=023156478");
        EXPECT_EQ(page.kind, maker_site::Page::kError) << step;
    }
    EXPECT_EQ(maker_site::parse(maker_site::loadAddress("023156478")).kind,
              maker_site::Page::kBoard);
}

// A byte order mark opens the file, not its first line: a [General] section the store adds
// goes after it, or the old first line stops being a section header.
TEST(FoundByFuzzing, ByteOrderMarkStaysInFrontOfTheFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string previous = store::directory();
    store::setDirectory(dir.path().toStdString());
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/KORVANEL"));
    QFile file(dir.path() + "/KORVANEL/Tessle.ini");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\xEF\xBB\xBF[Other]\nPTYPE=4\n");
    file.close();

    EXPECT_EQ(GetRegValue("Tessle", "PTYPE"), 0) << "PTYPE belongs to [Other]";
    SaveRegValue("Tessle", "MinStep33", 12);
    EXPECT_EQ(GetRegValue("Tessle", "MinStep33"), 12);
    EXPECT_EQ(GetRegValue("Tessle", "PTYPE"), 0) << "the save moved PTYPE into [General]";
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              QByteArray("\xEF\xBB\xBF[General]\nMinStep33=12\n[Other]\nPTYPE=4\n"));
    store::setDirectory(previous);
}

}  // namespace
