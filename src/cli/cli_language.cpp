#include "cli/cli_language.h"

#include "i18n/catalogue.h"

#include <QtGlobal>

namespace {

constexpr std::int32_t kGermanOffset = 0;
constexpr std::int32_t kEnglishOffset = 10000;

} // namespace

bool LocaleIsGerman(const QByteArray& lcAll, const QByteArray& lcMessages, const QByteArray& lang) {
    for (const QByteArray* locale : {&lcAll, &lcMessages, &lang})
        if (!locale->isEmpty())
            return locale->startsWith("de");
    return false;
}

void ApplyLocaleLanguage() {
    const bool german = LocaleIsGerman(qgetenv("LC_ALL"), qgetenv("LC_MESSAGES"), qgetenv("LANG"));
    const std::int32_t offset = german ? kGermanOffset : kEnglishOffset;
    SetLanguageOffset(offset);
    SetLanguageIndex(LanguageIndexForOffset(offset));
}
