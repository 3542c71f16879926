#include "i18n/own_texts.h"

#include "i18n/catalogue.h"

#include <cstring>

namespace {

struct OwnTextEntry {
    const char* key;
    const char* german;
    const char* english;
};

// Keys are grouped by the part of the program that shows them: "feature.what".
// Keep each group together; add new groups at the end.
constexpr OwnTextEntry kOwnTexts[] = {
#include "i18n/own_texts.inc"
};

const OwnTextEntry* find(const char* key) {
    for (const OwnTextEntry& entry : kOwnTexts)
        if (std::strcmp(entry.key, key) == 0)
            return &entry;
    return nullptr;
}

} // namespace

QString OwnTextIn(const char* key, bool english) {
    const OwnTextEntry* entry = find(key);
    if (entry == nullptr)
        return QString::fromUtf8(key);
    return QString::fromUtf8(english ? entry->english : entry->german);
}

QString OwnText(const char* key) {
    return OwnTextIn(key, LanguageOffset() == 10000);
}

QStringList OwnTextKeys() {
    QStringList keys;
    for (const OwnTextEntry& entry : kOwnTexts)
        keys.append(QString::fromUtf8(entry.key));
    return keys;
}
