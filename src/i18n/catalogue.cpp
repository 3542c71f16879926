#include "i18n/catalogue.h"

#include <algorithm>
#include <iterator>

namespace {

struct Entry {
    int id;
    const char16_t* english;
    const char16_t* german;
};

constexpr Entry kEntries[] = {
#include "i18n/catalogue_entries.inc"
};

constexpr int kEnglishOffset = 10000;

constexpr bool sortedById() {
    for (std::size_t i = 1; i < std::size(kEntries); ++i)
        if (kEntries[i - 1].id >= kEntries[i].id)
            return false;
    return true;
}
static_assert(sortedById(), "catalogue entries must be sorted by id");

constexpr bool hasBothTexts(int id) {
    for (const Entry& e : kEntries)
        if (e.id == id)
            return e.english && e.german && e.english[0] && e.german[0];
    return false;
}

// Every name the code uses stands for an entry with text in both languages.
#define KELVASTO_CATALOGUE_ID(name, id)                                                            \
    static_assert(hasBothTexts(id), "CatalogueId::" #name " has no entry in both languages");
#include "i18n/catalogue_ids.inc"
#undef KELVASTO_CATALOGUE_ID

std::int32_t gOffset = 0;
std::uint8_t gIndex = 0;

const Entry* find(int germanId) {
    const auto it = std::lower_bound(std::begin(kEntries), std::end(kEntries), germanId,
                                     [](const Entry& e, int id) { return e.id < id; });
    return (it != std::end(kEntries) && it->id == germanId) ? it : nullptr;
}

} // namespace

QString CatalogueEntry(int id) {
    const Entry* entry = nullptr;
    const char16_t* text = nullptr;
    if (id >= 1 && id < kEnglishOffset) {
        entry = find(id);
        text = entry ? entry->german : nullptr;
    } else if (id > kEnglishOffset && id < 2 * kEnglishOffset) {
        entry = find(id - kEnglishOffset);
        text = entry ? entry->english : nullptr;
    }
    if (!text)
        return {};
    return QString::fromUtf16(text).left(kCatalogueTextLimit);
}

QString CatalogueText(CatalogueId id) { return CatalogueEntry(int(id) + gOffset); }

std::vector<int> CatalogueGermanIds() {
    std::vector<int> ids;
    ids.reserve(std::size(kEntries));
    for (const Entry& e : kEntries)
        ids.push_back(e.id);
    return ids;
}

std::int32_t LanguageOffset() { return gOffset; }
void SetLanguageOffset(std::int32_t offset) { gOffset = offset; }

std::uint8_t LanguageIndex() { return gIndex; }
void SetLanguageIndex(std::uint8_t index) { gIndex = index < LanguageNames.size() ? index : 0; }

std::uint8_t LanguageIndexForOffset(std::int32_t offset) {
    switch (offset) {
    case 10000: return 1;
    case 20000: return 2;
    case 30000: return 3;
    case 40000: return 4;
    default: return 0;
    }
}

QString CurrentLanguageName() { return LanguageNames[LanguageIndex()]; }
