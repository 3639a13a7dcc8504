#pragma once

// What the record writer saves and what the tests expect to find, shared by both sides.

#include <QByteArray>
#include <QList>

#include <array>
#include <cstdint>
#include <map>
#include <string>

namespace records {

inline const std::string kApp = "Tessle";

// ---- Kill mode: the game's three names, two known value sets written in turn. ----
inline constexpr std::array<const char*, 3> kNames = {"MinStep33", "MinStep44", "PTYPE"};
// Different text lengths, so a torn or half-replaced file cannot pass for either set.
inline constexpr std::int32_t kSets[2][3] = {{17, 4321, 2}, {99999, 8, 3}};

// Save number k (from 0) of one writer run: which name and which value.
inline int nameOfSave(long long k) {
    return static_cast<int>(k % 3);
}
inline std::int32_t valueOfSave(long long k) {
    return kSets[(k / 3) % 2][nameOfSave(k)];
}

// ---- Race mode: names of one writer, plus one that every writer saves. ----
inline constexpr int kOwnNames = 2;
inline constexpr const char* kShared = "Shared";

// One save per round: own name 0, own name 1, the shared name, in turn (index kOwnNames).
inline int nameOfRound(int round) {
    return round % (kOwnNames + 1);
}
// The last round before `round` that saved name n, or -1.
inline int lastRoundOf(int round, int n) {
    for (int r = round - 1; r >= 0 && r >= round - kOwnNames - 1; --r) {
        if (nameOfRound(r) == n) return r;
    }
    return -1;
}

inline std::string ownName(int writer, int n) {
    return "W" + std::to_string(writer) + "N" + std::to_string(n);
}
// Always seven digits (writers 0..3, rounds below 100000): once every name is in the file its
// size never changes, so only the modification time tells one version from the next.
inline std::int32_t ownValue(int writer, int round) {
    return 1000000 + writer * 200000 + round;
}
inline std::int32_t sharedValue(int writer, int round) {
    return 1000000 + writer * 200000 + 100000 + round;
}

// Strict reading of a store file as the store writes it: an optional "[General]" line, then
// "Name=decimal" lines. False, with the offending line in `bad`, for anything else.
inline bool parseStoreFile(const QByteArray& bytes, std::map<std::string, std::string>& values,
                           std::string& bad) {
    values.clear();
    for (const QByteArray& raw : bytes.split('\n')) {
        const QByteArray line = raw.endsWith('\r') ? raw.chopped(1) : raw;
        if (line.isEmpty() || line == "[General]") continue;
        const int eq = line.indexOf('=');
        bool ok = false;
        if (eq > 0) line.mid(eq + 1).toInt(&ok, 10);
        if (!ok ||
            !values.emplace(line.left(eq).toLower().toStdString(), line.mid(eq + 1).toStdString())
                 .second) {
            bad = line.toStdString();
            return false;
        }
    }
    return true;
}

}  // namespace records
