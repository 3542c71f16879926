#pragma once
// The per-user settings store: one JSON file that maps key paths (kept
// verbatim, e.g. "\Software\Morlandt\Kelvasto\V1.24") to objects of named
// values. Strings are JSON strings, integers and booleans JSON integers, so a
// missing value and a wrongly typed one can be told apart. Every write replaces
// the file atomically; an unreadable or corrupt file reads as an empty store.

#include <QString>

#include <cstdint>
#include <memory>

enum class HiveReadStatus { Ok, Missing, WrongType };

template <class T> struct HiveValue {
    HiveReadStatus status = HiveReadStatus::Missing;
    T value{};
    bool ok() const { return status == HiveReadStatus::Ok; }
};

// "$XDG_CONFIG_HOME/Morlandt/hive.json".
QString HiveFilePath();

// An opened key. Opening creates the key when it is missing; closing (or
// destruction) releases it. Values are read from the file as it stood when the
// key was opened plus this key's own writes; each write merges into the current
// file, so other processes' keys and values survive.
class HiveKey {
public:
    explicit HiveKey(QString keyPath);
    ~HiveKey();
    HiveKey(const HiveKey&) = delete;
    HiveKey& operator=(const HiveKey&) = delete;

    bool isOpen() const { return m_open; }
    void close();

    HiveValue<QString> readString(const QString& name) const;
    HiveValue<std::int32_t> readInteger(const QString& name) const;

    // Return false when the store could not be written; the value is then lost.
    bool writeString(const QString& name, const QString& value);
    bool writeInteger(const QString& name, std::int32_t value);
    bool writeBoolean(const QString& name, bool value); // stored as 0 or 1

private:
    bool writeValue(const QString& name, const class QJsonValue& value);

    struct Values;

    QString m_keyPath;
    bool m_open = false;
    std::unique_ptr<Values> m_values; // the key's values as last read or written
};

// Removes the key (only that key) from the store. True when the key is gone.
bool DeleteHiveKey(const QString& keyPath);
