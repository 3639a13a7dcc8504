// The registry backend against the real registry (Wine's in the cross build). Each process
// uses application names of its own below HKLM\SOFTWARE\KORVANEL (and the player's copy of it)
// and removes them afterwards. Writing to HKLM needs administrator rights on Windows: run
// elevated there. A key refuses writes through its security descriptor, which Wine enforces too.
#include "settings/settings_store.h"
#include "settings/settings_store_registry.h"

#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using store::registry::Key;

// The key above a key: the vendor's, above an application's.
std::string parentPath(const Key& key) {
    return key.path.substr(0, key.path.rfind('\\'));
}

// The keys and the view the store itself uses: the game kept its records as a 32-bit program.
const std::string kVendorPath = parentPath(store::registry::machineKey(""));
const REGSAM kView = store::registry::machineKey("").view;

std::string testApp(const std::string& suffix = "") {
    return "TessleTest-" + std::to_string(GetCurrentProcessId()) + suffix;
}

std::string appPath(const std::string& app) {
    return store::registry::machineKey(app).path;
}

// Where Windows' virtualization keeps a player's copy of a 32-bit program's machine key.
const Key kUserVendor = [] {
    Key vendor = store::registry::playersCopy("");
    vendor.path = parentPath(vendor);
    return vendor;
}();
std::string userPath(const std::string& app) {
    return store::registry::playersCopy(app).path;
}

bool userKeyExists(const std::string& app) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, userPath(app).c_str(), 0, KEY_READ | kUserVendor.view,
                      &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

// Writes a DWORD into the player's copy, as virtualization would have.
void writeUserDword(const std::string& app, const std::string& name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, userPath(app).c_str(), 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | kUserVendor.view, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    const LONG status = RegSetValueExA(key, name.c_str(), 0, REG_DWORD,
                                       reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

// What the player's copy holds under a name, and whether it is a DWORD at all.
bool readUserDword(const std::string& app, const std::string& name, DWORD& value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, userPath(app).c_str(), 0, KEY_READ | kUserVendor.view,
                      &key) != ERROR_SUCCESS) {
        return false;
    }
    DWORD type = REG_NONE;
    DWORD size = sizeof value;
    const LONG status =
        RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD;
}

void setUserKeySecurity(const std::string& app, const char* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, userPath(app).c_str(), 0,
                                WRITE_DAC | kUserVendor.view, &key);
    if (status == ERROR_SUCCESS) {
        status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        RegCloseKey(key);
    }
    LocalFree(descriptor);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

void deleteUserApp(const std::string& app) {
    if (userKeyExists(app)) setUserKeySecurity(app, "D:(A;;KA;;;WD)");
    HKEY vendor = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kUserVendor.path.c_str(), 0,
                      KEY_ALL_ACCESS | kUserVendor.view, &vendor) != ERROR_SUCCESS) {
        return;
    }
    RegDeleteTreeA(vendor, app.c_str());
    RegCloseKey(vendor);
}

// Refuses KEY_SET_VALUE (0x0002) to everyone: what a standard user meets at HKLM.
constexpr const char* kDenySetValue = "D:(D;;0x0002;;;WD)(A;;KA;;;WD)";

bool keyExists(const std::string& path, REGSAM view = kView) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

// Removes an application key and all it holds; no error when it is not there.
void deleteApp(const std::string& app) {
    HKEY vendor = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVendorPath.c_str(), 0, KEY_ALL_ACCESS | kView,
                      &vendor) != ERROR_SUCCESS) {
        return;
    }
    RegDeleteTreeA(vendor, app.c_str());
    RegCloseKey(vendor);
}

// Removes the vendor key only while it holds no other key: the registry refuses otherwise, so
// other programs' records are never touched. True when the vendor key is gone afterwards.
bool deleteVendorIfEmpty() {
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kVendorPath.c_str(), kView, 0);
    return !keyExists(kVendorPath);
}

struct RawValue {
    LONG status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

// A value as the registry holds it, to see what the store really wrote.
RawValue readRaw(const std::string& app, const std::string& name) {
    RawValue raw;
    HKEY key = nullptr;
    raw.status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, appPath(app).c_str(), 0, KEY_READ | kView, &key);
    if (raw.status != ERROR_SUCCESS) return raw;
    DWORD size = 0;
    raw.status = RegQueryValueExA(key, name.c_str(), nullptr, &raw.type, nullptr, &size);
    if (raw.status == ERROR_SUCCESS) {
        raw.bytes.resize(size);
        raw.status =
            RegQueryValueExA(key, name.c_str(), nullptr, &raw.type, raw.bytes.data(), &size);
        raw.bytes.resize(size);
    }
    RegCloseKey(key);
    return raw;
}

// Writes a value of any type and length, the way another program could.
void writeRaw(const std::string& app, const std::string& name, DWORD type,
              const std::vector<BYTE>& bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, appPath(app).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | kView, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    const LONG status =
        RegSetValueExA(key, name.c_str(), 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

DWORD valueCount(const std::string& app) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, appPath(app).c_str(), 0, KEY_READ | kView, &key) !=
        ERROR_SUCCESS) {
        return 0;
    }
    DWORD count = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return count;
}

std::vector<BYTE> littleEndian(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    return {static_cast<BYTE>(bits), static_cast<BYTE>(bits >> 8), static_cast<BYTE>(bits >> 16),
            static_cast<BYTE>(bits >> 24)};
}

// Sets a security descriptor, given in SDDL, on an application key.
void setKeySecurity(const std::string& app, const char* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    HKEY key = nullptr;
    LONG status =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, appPath(app).c_str(), 0, WRITE_DAC | kView, &key);
    if (status == ERROR_SUCCESS) {
        status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        RegCloseKey(key);
    }
    LocalFree(descriptor);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

// Where the next handles opened land: the highest of a batch of them. Windows and Wine both
// reuse freed slots, so it stays put across calls unless a call leaves a handle open. A batch,
// not one handle, as a call may free a lower slot it used on the way (Wine does).
std::uintptr_t handleHighWater() {
    std::vector<HKEY> keys;
    for (int i = 0; i < 16; ++i) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &key) != ERROR_SUCCESS) {
            break;
        }
        keys.push_back(key);
    }
    std::uintptr_t highest = 0;
    for (HKEY key : keys) {
        highest = std::max(highest, reinterpret_cast<std::uintptr_t>(key));
        RegCloseKey(key);
    }
    return keys.size() == 16 ? highest : 0;
}

class RegistryStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const std::string& app : apps_) {
            deleteApp(app);
            deleteUserApp(app);
        }
        previousHandler_ = store::setErrorHandler([this] { ++failures_; });
    }

    void TearDown() override {
        store::setErrorHandler(previousHandler_);
        for (const std::string& app : apps_) {
            if (keyExists(appPath(app))) setKeySecurity(app, "D:(A;;KA;;;WD)");
            deleteApp(app);
            deleteUserApp(app);
        }
        deleteVendorIfEmpty();
    }

    const std::string app_ = testApp();
    const std::string otherApp_ = testApp("-other");
    const std::vector<std::string> apps_{app_, otherApp_};
    int failures_ = 0;
    store::ErrorHandler previousHandler_;
};

TEST_F(RegistryStoreTest, MissingKeyOrValueReadsAsZeroAndCreatesNothing) {
    EXPECT_EQ(GetRegValue(app_, "PType"), 0);
    EXPECT_FALSE(keyExists(appPath(app_)));

    SaveRegValue(app_, "Other", 5);
    EXPECT_EQ(GetRegValue(app_, "PType"), 0);
    EXPECT_EQ(valueCount(app_), 1u);
    EXPECT_EQ(failures_, 0);
}

TEST_F(RegistryStoreTest, SaveCreatesMissingAppKey) {
    ASSERT_FALSE(keyExists(appPath(app_)));
    SaveRegValue(app_, "PType", 7);
    EXPECT_TRUE(keyExists(appPath(app_)));
    EXPECT_EQ(GetRegValue(app_, "PType"), 7);
    EXPECT_EQ(failures_, 0);
}

TEST_F(RegistryStoreTest, SaveCreatesMissingVendorKey) {
    if (!deleteVendorIfEmpty()) {
        GTEST_SKIP() << kVendorPath << " holds other programs' keys; it cannot be removed";
    }
    SaveRegValue(app_, "PType", 9);
    EXPECT_TRUE(keyExists(kVendorPath));
    EXPECT_TRUE(keyExists(appPath(app_)));
    EXPECT_EQ(GetRegValue(app_, "PType"), 9);
    EXPECT_EQ(failures_, 0);
}

TEST_F(RegistryStoreTest, RecordsLiveInThe32BitView) {
    SaveRegValue(app_, "PType", 11);
    ASSERT_TRUE(keyExists(appPath(app_), KEY_WOW64_32KEY));
#ifndef _WIN64
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64) {
        GTEST_SKIP() << "32-bit Windows has a single registry view";
    }
#endif
    EXPECT_FALSE(keyExists(appPath(app_), KEY_WOW64_64KEY));
}

// The player's copy is where Windows' virtualization keeps a 32-bit program's machine key:
// through WOW6432Node where Windows itself is 64-bit, whether this program is or not.
TEST_F(RegistryStoreTest, PlayersCopyIsWhereVirtualizationKeepsIt) {
    SYSTEM_INFO system;
    GetNativeSystemInfo(&system);
    const bool windows64 = system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
                           system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_ARM64;
    const Key copy = store::registry::playersCopy(app_);
    EXPECT_EQ(copy.root, HKEY_CURRENT_USER);
    EXPECT_EQ(copy.path, std::string("Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\") +
                             (windows64 ? "WOW6432Node\\" : "") + "KORVANEL\\" + app_);
    // Spelled out in full, so opened as it stands.
    EXPECT_EQ(copy.view, static_cast<REGSAM>(KEY_WOW64_64KEY));

    const Key machine = store::registry::machineKey(app_);
    EXPECT_EQ(machine.root, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(machine.path, "SOFTWARE\\KORVANEL\\" + app_);
    EXPECT_EQ(machine.view, static_cast<REGSAM>(KEY_WOW64_32KEY));
}

class RoundTrip : public RegistryStoreTest, public ::testing::WithParamInterface<std::int32_t> {};

TEST_P(RoundTrip, ReadsBackAndIsStoredAsLittleEndianDword) {
    const std::int32_t value = GetParam();
    SaveRegValue(app_, "Best3", value);
    EXPECT_EQ(GetRegValue(app_, "Best3"), value);

    const RawValue raw = readRaw(app_, "Best3");
    ASSERT_EQ(raw.status, ERROR_SUCCESS);
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(raw.bytes, littleEndian(value));
    EXPECT_EQ(failures_, 0);
}

INSTANTIATE_TEST_SUITE_P(Values, RoundTrip,
                         ::testing::Values(0, 1, -1, 42, 0x12345678, -1000000,
                                           std::numeric_limits<std::int32_t>::min(),
                                           std::numeric_limits<std::int32_t>::max()));

TEST_F(RegistryStoreTest, LaterWriteReplacesTheValue) {
    SaveRegValue(app_, "Best4", 100);
    SaveRegValue(app_, "Best4", 37);
    EXPECT_EQ(GetRegValue(app_, "Best4"), 37);
    EXPECT_EQ(valueCount(app_), 1u);
}

TEST_F(RegistryStoreTest, NamesMatchWithoutRegardToCase) {
    SaveRegValue(app_, "PType", 3);
    EXPECT_EQ(GetRegValue(app_, "PTYPE"), 3);
    EXPECT_EQ(GetRegValue(app_, "ptype"), 3);

    SaveRegValue(app_, "PTYPE", 4);
    EXPECT_EQ(GetRegValue(app_, "PType"), 4);
    EXPECT_EQ(valueCount(app_), 1u);
}

TEST_F(RegistryStoreTest, ApplicationsKeepTheirOwnValues) {
    SaveRegValue(app_, "PType", 1);
    SaveRegValue(otherApp_, "PType", 2);
    EXPECT_EQ(GetRegValue(app_, "PType"), 1);
    EXPECT_EQ(GetRegValue(otherApp_, "PType"), 2);
}

struct ForeignValue {
    const char* what;
    DWORD type;
    std::vector<BYTE> bytes;
    std::int32_t expected;
};

// Shown by the case's name, not as a dump of its bytes.
void PrintTo(const ForeignValue& value, std::ostream* os) {
    *os << value.what;
}

class ForeignValues : public RegistryStoreTest,
                      public ::testing::WithParamInterface<ForeignValue> {};

// Values another program left: at most four bytes are read as a little-endian number whatever
// the type, longer ones read as 0, and a save replaces any of them with a DWORD.
TEST_P(ForeignValues, ReadAsTheirFirstFourBytesOrZero) {
    const ForeignValue& foreign = GetParam();
    writeRaw(app_, "PType", foreign.type, foreign.bytes);
    EXPECT_EQ(GetRegValue(app_, "PType"), foreign.expected);

    SaveRegValue(app_, "PType", 6);
    EXPECT_EQ(GetRegValue(app_, "PType"), 6);
    EXPECT_EQ(readRaw(app_, "PType").type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(failures_, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ForeignValues,
    ::testing::Values(ForeignValue{"qword", REG_QWORD, {7, 0, 0, 0, 0, 0, 0, 0}, 0},
                      ForeignValue{"binary8", REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8}, 0},
                      ForeignValue{"binary5", REG_BINARY, {1, 0, 0, 0, 0}, 0},
                      ForeignValue{"binary4", REG_BINARY, {0x78, 0x56, 0x34, 0x12}, 0x12345678},
                      ForeignValue{"binary2", REG_BINARY, {0x34, 0x12}, 0x1234},
                      ForeignValue{"binary2high", REG_BINARY, {0xff, 0xff}, 0xffff},
                      ForeignValue{"binary1", REG_BINARY, {0x80}, 0x80},
                      ForeignValue{"empty", REG_BINARY, {}, 0},
                      ForeignValue{"dword", REG_DWORD, {0xfe, 0xff, 0xff, 0xff}, -2}),
    [](const ::testing::TestParamInfo<ForeignValue>& info) { return info.param.what; });

struct FailedWrite {
    const char* what;
    std::string app;    // "" stands for this test's own application
    std::string value;  // the value name written
    bool denySetValue;  // the machine key and the player's copy both refuse KEY_SET_VALUE
};

void PrintTo(const FailedWrite& failed, std::ostream* os) {
    *os << failed.what;
}

class FailedWrites : public RegistryStoreTest, public ::testing::WithParamInterface<FailedWrite> {};

TEST_P(FailedWrites, ReportOncePerWriteAndReturn) {
    const FailedWrite& failed = GetParam();
    const std::string app = failed.app.empty() ? app_ : failed.app;
    if (failed.denySetValue) {
        SaveRegValue(app, "Other", 1);
        writeUserDword(app, "Other", 1);
        ASSERT_EQ(failures_, 0);
        setKeySecurity(app, kDenySetValue);
        setUserKeySecurity(app, kDenySetValue);
    }

    SaveRegValue(app, failed.value, 5);
    EXPECT_EQ(failures_, 1);
    SaveRegValue(app, failed.value, 6);
    EXPECT_EQ(failures_, 2);
    EXPECT_EQ(GetRegValue(app, failed.value), 0);

    // Without a handler a failure is silent and still returns.
    const store::ErrorHandler counting = store::setErrorHandler(nullptr);
    SaveRegValue(app, failed.value, 7);
    store::setErrorHandler(counting);
    EXPECT_EQ(failures_, 2);

    // The store still works for names that can be written.
    SaveRegValue(otherApp_, "PType", 8);
    EXPECT_EQ(GetRegValue(otherApp_, "PType"), 8);
    EXPECT_EQ(failures_, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, FailedWrites,
    ::testing::Values(FailedWrite{"DeniedKeyAndCopy", "", "PType", true},
                      // Key names have at most 255 characters.
                      FailedWrite{"AppNameTooLong", std::string(300, 'x'), "PType", false},
                      // Value names have at most 16383 characters; the key itself opens.
                      FailedWrite{"ValueNameTooLong", "", std::string(20000, 'v'), false}),
    [](const ::testing::TestParamInfo<FailedWrite>& info) { return info.param.what; });

// A standard user's write: the machine key refuses it, so it goes to the player's own copy where
// virtualization keeps a 32-bit program's keys, silently, and is read back from there.
TEST_F(RegistryStoreTest, DeniedWriteGoesToThePlayersCopy) {
    SaveRegValue(app_, "MinStep33", 40);
    setKeySecurity(app_, kDenySetValue);

    SaveRegValue(app_, "MinStep33", 31);
    SaveRegValue(app_, "MinStep44", 99999);
    EXPECT_EQ(failures_, 0);
    DWORD own = 0;
    ASSERT_TRUE(readUserDword(app_, "MinStep33", own));
    EXPECT_EQ(own, 31u);
    EXPECT_EQ(readRaw(app_, "MinStep33").bytes, littleEndian(40));  // the machine key is as it was
    EXPECT_EQ(GetRegValue(app_, "MinStep33"), 31);
    EXPECT_EQ(GetRegValue(app_, "minstep44"), 99999);
}

// Reads take the player's copy of a value where it has one, the machine's otherwise: records
// that virtualization kept there are found again.
TEST_F(RegistryStoreTest, ReadsPreferThePlayersCopy) {
    SaveRegValue(app_, "MinStep33", 57);
    SaveRegValue(app_, "PType", 2);
    writeUserDword(app_, "MinStep33", 23);
    EXPECT_EQ(GetRegValue(app_, "MinStep33"), 23);
    EXPECT_EQ(GetRegValue(app_, "PTYPE"), 2);
    EXPECT_EQ(GetRegValue(otherApp_, "MinStep33"), 0);
    EXPECT_EQ(failures_, 0);
}

TEST_F(RegistryStoreTest, InvalidApplicationNamesWriteNothing) {
    const std::string escape = "Escape" + std::to_string(GetCurrentProcessId());
    for (const std::string& app : {std::string(), std::string("."), std::string(".."),
                                   "..\\" + escape, testApp("\\Sub"), testApp("/Sub")}) {
        SCOPED_TRACE(app);
        const int before = failures_;
        SaveRegValue(app, "PType", 1);
        EXPECT_EQ(failures_, before + 1);
        EXPECT_EQ(GetRegValue(app, "PType"), 0);
    }
    EXPECT_FALSE(keyExists("SOFTWARE\\" + escape));
    EXPECT_FALSE(keyExists(appPath(app_)));
}

// Every call closes the key it opened, on the paths that fail as well as those that succeed:
// hundreds of calls leave no handle behind, so where new handles land does not move.
TEST_F(RegistryStoreTest, CallsCloseTheirKeys) {
    SaveRegValue(app_, "PType", 1);
    writeRaw(app_, "Long", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8});
    SaveRegValue(otherApp_, "PType", 1);
    setKeySecurity(otherApp_, kDenySetValue);

    const std::string& app = app_;
    const std::string& denied = otherApp_;
    const std::string longName(20000, 'v');
    // A call that leaves a handle open moves the high water every time: a few hundred show it,
    // and each costs several trips to Wine's server.
    constexpr int kCalls = 500;
    const std::vector<std::pair<const char*, std::function<void()>>> calls = {
        {"read of a missing value", [&] { GetRegValue(app, "Missing"); }},
        {"read of a value longer than four bytes", [&] { GetRegValue(app, "Long"); }},
        {"read", [&] { GetRegValue(app, "PType"); }},
        {"write", [&] { SaveRegValue(app, "PType", 2); }},
        {"write refused by the key, kept in the player's copy",
         [&] { SaveRegValue(denied, "PType", 2); }},
        {"read preferring the player's copy", [&] { GetRegValue(denied, "PType"); }},
        {"write refused for its value name", [&] { SaveRegValue(app, longName, 2); }},
    };
    for (const auto& [what, call] : calls) {
        SCOPED_TRACE(what);
        std::set<std::uintptr_t> handles;
        for (int i = 0; i < kCalls; ++i) {
            call();
            if (i % 25 == 0) handles.insert(handleHighWater());
        }
        // One value when nothing stays open; a slot taken once by the system is tolerated.
        EXPECT_LE(handles.size(), 2u);
        EXPECT_EQ(handles.count(0), 0u);
    }
    EXPECT_EQ(GetRegValue(app_, "PType"), 2);
    EXPECT_EQ(GetRegValue(otherApp_, "PType"), 2);
    EXPECT_EQ(failures_, kCalls);  // only the value name that is too long
}

// The probe above notices keys left open the way the store opens them.
TEST_F(RegistryStoreTest, HandleProbeSeesKeysLeftOpen) {
    SaveRegValue(app_, "PType", 1);
    const std::uintptr_t before = handleHighWater();
    std::set<std::uintptr_t> seen{before};
    std::vector<HKEY> leaked;
    for (int i = 0; i < 3; ++i) {
        HKEY key = nullptr;
        ASSERT_EQ(
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, appPath(app_).c_str(), 0, KEY_READ | kView, &key),
            ERROR_SUCCESS);
        leaked.push_back(key);
        seen.insert(handleHighWater());
    }
    for (HKEY key : leaked) RegCloseKey(key);
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen.count(0), 0u);
    EXPECT_EQ(handleHighWater(), before);
}

}  // namespace
