// File backend: one INI file per application, <store dir>/KORVANEL/<AppName>.ini, values as
// decimal text. QSettings takes a lock file and replaces the file atomically on every save, so
// neither a crash nor a second running game leaves a torn file.
#include "settings/settings_store.h"

#include "settings/game_group.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QString>

namespace {

QString vendorDir() {
    return QDir(QString::fromStdString(store::directory())).filePath("KORVANEL");
}

QString iniPath(const std::string& AppName) {
    return QDir(vendorDir()).filePath(QString::fromStdString(AppName) + ".ini");
}

// The stored spelling of a name, matched without regard to case; the name itself if absent.
QString storedKey(const QSettings& settings, const QString& name) {
    const QStringList keys = settings.childKeys();
    for (const QString& key : keys) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) return key;
    }
    return name;
}

}  // namespace

void SaveRegValue(const std::string& AppName, const std::string& ValueName,
                  const std::int32_t& Value) {
    const store::GameGroupScope group;
    if (!store::isValidAppName(AppName) || ValueName.empty() || !QDir().mkpath(vendorDir())) {
        store::reportWriteFailure();
        return;
    }
    QSettings settings(iniPath(AppName), QSettings::IniFormat);
    settings.setValue(storedKey(settings, QString::fromStdString(ValueName)),
                      QString::number(Value));
    settings.sync();
    if (settings.status() == QSettings::AccessError) store::reportWriteFailure();
}

std::int32_t GetRegValue(const std::string& AppName, const std::string& ValueName) {
    if (!store::isValidAppName(AppName)) return 0;
    const QString path = iniPath(AppName);
    if (!QFile::exists(path)) return 0;
    const QSettings settings(path, QSettings::IniFormat);
    const QString key = storedKey(settings, QString::fromStdString(ValueName));
    const QVariant value = settings.value(key);
    if (value.typeId() != QMetaType::QString) return 0;
    bool ok = false;
    const int number = value.toString().toInt(&ok, 10);
    return ok ? static_cast<std::int32_t>(number) : 0;
}
