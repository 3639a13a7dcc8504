#include "checks.h"
#include "settings/settings_store.h"

#include <stdlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <system_error>
#include <vector>

namespace fuzz_checks {

namespace {

const std::string kApp = "Tessle";
const char* const kNames[3] = {"MinStep33", "MinStep44", "PTYPE"};

// One store folder per process, under TMPDIR, removed at exit. Never destroyed itself: the
// exit handler still needs it after static objects are gone.
const std::string& storeRoot() {
    static const std::string* const root = [] {
        const char* tmp = std::getenv("TMPDIR");
        auto* dir =
            new std::string(std::string(tmp && *tmp ? tmp : "/tmp") + "/tessle-fuzz-XXXXXX");
        if (!mkdtemp(dir->data())) {
            dir->clear();
            return dir;
        }
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(storeRoot(), ignored);
        });
        return dir;
    }();
    return *root;
}

std::string iniPath() {
    return storeRoot() + "/KORVANEL/" + kApp + ".ini";
}

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\n';
}

// The name of a "name=value" line, lower case; empty for other lines.
std::string keyOf(const std::string& line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) return {};
    std::size_t b = 0, e = eq;
    while (b < e && isBlank(line[b])) ++b;
    while (e > b && isBlank(line[e - 1])) --e;
    std::string key = line.substr(b, e - b);
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return key;
}

std::string lower(const std::string& s) {
    std::string out = s;
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// A UTF-8 byte order mark belongs to the file, not to its first line: taken off and reported.
bool takeBom(std::string& bytes) {
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") != 0) return false;
    bytes.erase(0, 3);
    return true;
}

// Every line of `before` that is not about `name` is still in `after`, in the same order, and
// a byte order mark stays.
bool keepsOtherLines(std::string before, std::string after, const std::string& name) {
    if (takeBom(before) != takeBom(after)) return false;
    const std::vector<std::string> old = linesOf(before), now = linesOf(after);
    std::size_t j = 0;
    for (const std::string& line : old) {
        if (keyOf(line) == lower(name)) continue;
        while (j < now.size() && now[j] != line) ++j;
        if (j == now.size()) return false;
        ++j;
    }
    return true;
}

std::uint32_t fnv1a(const std::uint8_t* data, std::size_t size) {
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
    return h;
}

// A value to save, with the ends of the range and the game's own numbers well represented.
std::int32_t valueFor(std::uint32_t h) {
    constexpr std::int32_t kEdges[] = {0,
                                       -1,
                                       1,
                                       99999,
                                       std::numeric_limits<std::int32_t>::min(),
                                       std::numeric_limits<std::int32_t>::max()};
    if (h % 4 == 0) return kEdges[(h >> 2) % 6];
    std::int32_t v;
    std::memcpy(&v, &h, sizeof v);
    return v;
}

std::string describe(const char* what, const std::string& name, std::int64_t got,
                     std::int64_t want) {
    return std::string(what) + " " + name + ": got " + std::to_string(got) + ", want " +
           std::to_string(want);
}

}  // namespace

std::string store(const std::uint8_t* data, std::size_t size) {
    if (storeRoot().empty()) return "no temporary folder";
    store::setDirectory(storeRoot());
    int failures = 0;
    store::setErrorHandler([&failures] { ++failures; });
    std::filesystem::create_directories(storeRoot() + "/KORVANEL");
    const std::string original(reinterpret_cast<const char*>(data), size);
    if (!writeFile(iniPath(), original)) return "cannot write the store file";

    std::int32_t before[3];
    for (int n = 0; n < 3; ++n) {
        before[n] = GetRegValue(kApp, kNames[n]);
        if (GetRegValue(kApp, lower(kNames[n])) != before[n]) {
            return describe("case changes the value of", kNames[n],
                            GetRegValue(kApp, lower(kNames[n])), before[n]);
        }
    }

    const std::uint32_t h = fnv1a(data, size);
    const int n = static_cast<int>(size % 3);
    const std::int32_t value = valueFor(h);
    SaveRegValue(kApp, kNames[n], value);
    if (failures != 0) return "saving " + std::string(kNames[n]) + " reported a failure";
    const std::string saved = readFile(iniPath());
    for (int m = 0; m < 3; ++m) {
        const std::int32_t got = GetRegValue(kApp, kNames[m]);
        const std::int32_t want = m == n ? value : before[m];
        if (got != want) return describe("after the save,", kNames[m], got, want);
    }
    if (!keepsOtherLines(original, saved, kNames[n])) return "the save dropped or reordered lines";

    // The same save again changes nothing.
    SaveRegValue(kApp, kNames[n], value);
    if (readFile(iniPath()) != saved) return "saving the same value again changed the file";

    // A second name saved in another spelling keeps the first.
    const int other = (n + 1) % 3;
    const std::int32_t second = valueFor(h * 31 + 7);
    SaveRegValue(kApp, lower(kNames[other]), second);
    if (failures != 0) return "the second save reported a failure";
    if (GetRegValue(kApp, kNames[other]) != second) {
        return describe("second save,", kNames[other], GetRegValue(kApp, kNames[other]), second);
    }
    if (GetRegValue(kApp, kNames[n]) != value) {
        return describe("second save lost", kNames[n], GetRegValue(kApp, kNames[n]), value);
    }
    store::setErrorHandler({});
    return {};
}

}  // namespace fuzz_checks
