#include "settings/hive_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QSaveFile>
#include <QStandardPaths>

#include <cmath>
#include <limits>

struct HiveKey::Values {
    QJsonObject object;
};

namespace {

QJsonObject readHive() {
    QFile file(HiveFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return {};
    return doc.object();
}

bool writeHive(const QJsonObject& hive) {
    const QString path = HiveFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = QJsonDocument(hive).toJson(QJsonDocument::Indented);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

QString HiveFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Morlandt/hive.json");
}

HiveKey::HiveKey(QString keyPath)
    : m_keyPath(std::move(keyPath)), m_values(std::make_unique<Values>()) {
    QJsonObject hive = readHive();
    const QJsonValue key = hive.value(m_keyPath);
    if (key.isObject()) {
        m_values->object = key.toObject();
    } else {
        // A missing key (or a key that is not an object) is created empty.
        hive.insert(m_keyPath, QJsonObject());
        writeHive(hive);
    }
    m_open = true;
}

HiveKey::~HiveKey() {
    close();
}

void HiveKey::close() {
    m_open = false;
}

HiveValue<QString> HiveKey::readString(const QString& name) const {
    HiveValue<QString> result;
    const QJsonValue value = m_values->object.value(name);
    if (value.isUndefined())
        return result;
    if (!value.isString()) {
        result.status = HiveReadStatus::WrongType;
        return result;
    }
    result.status = HiveReadStatus::Ok;
    result.value = value.toString();
    return result;
}

HiveValue<std::int32_t> HiveKey::readInteger(const QString& name) const {
    HiveValue<std::int32_t> result;
    const QJsonValue value = m_values->object.value(name);
    if (value.isUndefined())
        return result;
    result.status = HiveReadStatus::WrongType;
    if (!value.isDouble())
        return result;
    const double d = value.toDouble();
    if (d != std::floor(d) || d < std::numeric_limits<std::int32_t>::min() ||
        d > std::numeric_limits<std::int32_t>::max())
        return result;
    result.status = HiveReadStatus::Ok;
    result.value = static_cast<std::int32_t>(d);
    return result;
}

bool HiveKey::writeValue(const QString& name, const QJsonValue& value) {
    m_values->object.insert(name, value);
    QJsonObject hive = readHive();
    QJsonObject key = hive.value(m_keyPath).toObject();
    key.insert(name, value);
    hive.insert(m_keyPath, key);
    return writeHive(hive);
}

bool HiveKey::writeString(const QString& name, const QString& value) {
    return writeValue(name, QJsonValue(value));
}

bool HiveKey::writeInteger(const QString& name, std::int32_t value) {
    return writeValue(name, QJsonValue(static_cast<qint64>(value)));
}

bool HiveKey::writeBoolean(const QString& name, bool value) {
    return writeInteger(name, value ? 1 : 0);
}

bool DeleteHiveKey(const QString& keyPath) {
    QJsonObject hive = readHive();
    if (!hive.contains(keyPath))
        return true;
    hive.remove(keyPath);
    return writeHive(hive);
}
