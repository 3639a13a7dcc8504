// File backend: one INI file per application, <store dir>/KORVANEL/<AppName>.ini, values as
// decimal text in its [General] section ("Name=123" lines, the layout QSettings gives it).
//
// Every call reads the file afresh. A cache that decides by size and modification time whether
// the file changed cannot tell two saves of equal length within one millisecond apart: it
// hands back the older value and, on the next save, writes it back over the newer one.
//
// A save holds <file>.lock (QLockFile, the lock QSettings takes, so builds that still use it
// keep out too) while it reads, changes and replaces the file; the replacement is atomic
// (QSaveFile), so readers need no lock and see the old file or the new one, never a mix. Lines
// the store does not own (other sections, comments, anything it cannot read) are kept as they
// are.
#include "settings/settings_store.h"

#include "settings/game_group.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QLockFile>
#include <QSaveFile>
#include <QString>

#include <chrono>
#include <limits>
#include <optional>

namespace {

// A lock file this old whose owner is gone was left by a game that died while saving, maybe
// before it could write its process id into it (a file with a dead owner's id goes at once).
// Qt's default keeps every later save waiting half a minute. Short is safe: the owner holds an
// flock on the file while it lives, and QLockFile removes no file that is flocked.
constexpr std::chrono::milliseconds kStaleLock{500};
constexpr std::chrono::milliseconds kLockWait{10000};

QString vendorDir() {
    return QDir(QString::fromStdString(store::directory())).filePath("KORVANEL");
}

QString iniPath(const std::string& AppName) {
    return QDir(vendorDir()).filePath(QString::fromStdString(AppName) + ".ini");
}

// Names are written as they are, so only characters that need no escaping in an INI key (and
// that QSettings reads back unchanged) are allowed.
bool isStorableName(const std::string& name) {
    if (name.empty()) return false;
    for (const char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
        if (!ok) return false;
    }
    return true;
}

// Strict decimal: optional sign, digits only, within 32 bits.
std::optional<std::int32_t> parseValue(const QByteArray& text) {
    if (text.isEmpty()) return std::nullopt;
    int i = 0;
    const bool negative = text[0] == '-';
    if (text[0] == '-' || text[0] == '+') ++i;
    if (i == text.size() || text.size() - i > 10) return std::nullopt;
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        v = v * 10 + (text[i] - '0');
    }
    if (negative) v = -v;
    if (v < std::numeric_limits<std::int32_t>::min() ||
        v > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(v);
}

// The file as lines, and which of them are ours: those before the first section header and
// those under a [General] header.
class IniText {
  public:
    explicit IniText(QByteArray bytes) {
        // A UTF-8 byte order mark belongs to the file, not to its first line.
        if (bytes.startsWith(kBom)) {
            bom_ = true;
            bytes.remove(0, 3);
        }
        if (bytes.isEmpty()) return;
        lines_ = bytes.split('\n');
        if (bytes.endsWith('\n')) lines_.removeLast();
    }

    QByteArray bytes() const {
        QByteArray out = bom_ ? QByteArray(kBom) : QByteArray();
        for (const QByteArray& line : lines_) out += line + '\n';
        return out;
    }

    // The value of the first line of ours with that name; nothing when absent or unreadable.
    std::optional<std::int32_t> value(const QByteArray& name) const {
        const int at = find(name, 0);
        if (at < 0) return std::nullopt;
        QByteArray key, value;
        split(lines_[at], key, value);
        return parseValue(value);
    }

    // The first line of ours with that name gets the value, keeping the name's spelling there;
    // later lines of ours with that name go (they could never be read). A new name goes at the
    // end of the [General] section, which is made first in the file when there is none.
    void set(const QByteArray& name, std::int32_t v) {
        const QByteArray number = QByteArray::number(v);
        const int at = find(name, 0);
        if (at >= 0) {
            QByteArray key, old;
            split(lines_[at], key, old);
            lines_[at] = key + '=' + number;
            for (int dup = find(name, at + 1); dup >= 0; dup = find(name, dup))
                lines_.removeAt(dup);
            return;
        }
        const int header = generalHeader();
        if (header < 0) {
            lines_.insert(0, name + '=' + number);
            lines_.insert(0, "[General]");
            return;
        }
        int end = header + 1;
        while (end < lines_.size() && !isHeader(lines_[end])) ++end;
        while (end > header + 1 && lines_[end - 1].trimmed().isEmpty()) --end;
        lines_.insert(end, name + '=' + number);
    }

  private:
    static constexpr const char* kBom = "\xEF\xBB\xBF";

    static bool isHeader(const QByteArray& line) { return line.trimmed().startsWith('['); }

    static bool isGeneral(const QByteArray& header) {
        QByteArray name = header.trimmed().mid(1);
        const int close = name.indexOf(']');
        if (close >= 0) name.truncate(close);
        return name.trimmed().compare("General", Qt::CaseInsensitive) == 0;
    }

    static bool split(const QByteArray& line, QByteArray& key, QByteArray& value) {
        const int eq = line.indexOf('=');
        if (eq < 0) return false;
        key = line.left(eq).trimmed();
        value = line.mid(eq + 1).trimmed();
        return !key.isEmpty();
    }

    // Index of the first line of ours at or after `from` whose name matches, or -1.
    int find(const QByteArray& name, int from) const {
        bool ours = true;
        for (int i = 0; i < lines_.size(); ++i) {
            const QByteArray& line = lines_[i];
            if (isHeader(line)) {
                ours = isGeneral(line);
                continue;
            }
            QByteArray key, value;
            if (i >= from && ours && split(line, key, value) &&
                key.compare(name, Qt::CaseInsensitive) == 0) {
                return i;
            }
        }
        return -1;
    }

    int generalHeader() const {
        for (int i = 0; i < lines_.size(); ++i) {
            if (isHeader(lines_[i]) && isGeneral(lines_[i])) return i;
        }
        return -1;
    }

    bool bom_ = false;
    QList<QByteArray> lines_;
};

// The file's bytes; empty when there is no file. False when something is there that cannot be
// read as a file (a folder, no permission).
bool readStoreFile(const QString& path, QByteArray& bytes) {
    bytes.clear();
    const QFileInfo info(path);
    if (!info.exists()) return true;
    if (!info.isFile()) return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

bool save(const std::string& AppName, const std::string& ValueName, std::int32_t Value) {
    if (!store::isValidAppName(AppName) || !isStorableName(ValueName)) return false;
    if (!QDir().mkpath(vendorDir())) return false;
    const QString path = iniPath(AppName);
    QLockFile lock(path + ".lock");
    lock.setStaleLockTime(kStaleLock);
    if (!lock.tryLock(kLockWait)) return false;

    QByteArray bytes;
    if (!readStoreFile(path, bytes)) return false;
    IniText text(bytes);
    text.set(QByteArray::fromStdString(ValueName), Value);
    const QByteArray out = text.bytes();

    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size() && file.commit();
}

}  // namespace

void SaveRegValue(const std::string& AppName, const std::string& ValueName,
                  const std::int32_t& Value) {
    const store::GameGroupScope group;
    if (!save(AppName, ValueName, Value)) store::reportWriteFailure();
}

std::int32_t GetRegValue(const std::string& AppName, const std::string& ValueName) {
    if (!store::isValidAppName(AppName) || !isStorableName(ValueName)) return 0;
    QByteArray bytes;
    if (!readStoreFile(iniPath(AppName), bytes)) return 0;
    return IniText(bytes).value(QByteArray::fromStdString(ValueName)).value_or(0);
}
