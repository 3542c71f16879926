#include "ui/file_list/list_order.h"

#include <QFile>

#include <algorithm>

namespace {

char16_t asciiLower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

} // namespace

int CompareNamesIgnoringCase(const FolderEntry& a, const FolderEntry& b) {
    // Sorting compares each name many times; plain ASCII names, nearly all
    // of them, skip the general case folding (which treats them the same).
    if (!a.ascii || !b.ascii)
        return a.name.compare(b.name, Qt::CaseInsensitive);
    const char16_t* x = reinterpret_cast<const char16_t*>(a.name.constData());
    const char16_t* y = reinterpret_cast<const char16_t*>(b.name.constData());
    const qsizetype common = std::min(a.name.size(), b.name.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t p = asciiLower(x[i]);
        const char16_t q = asciiLower(y[i]);
        if (p != q)
            return p < q ? -1 : 1;
    }
    return a.name.size() == b.name.size() ? 0 : (a.name.size() < b.name.size() ? -1 : 1);
}

bool ListOrderLess(const FolderEntry& a, const FolderEntry& b) {
    const bool aFolder = a.kind == FolderEntryKind::Folder;
    if (aFolder != (b.kind == FolderEntryKind::Folder))
        return aFolder;
    const int folded = CompareNamesIgnoringCase(a, b);
    if (folded != 0)
        return folded < 0;
    return QFile::encodeName(a.name) < QFile::encodeName(b.name);
}
