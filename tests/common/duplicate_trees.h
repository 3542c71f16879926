#pragma once
// Trees for the duplicate tests, written in one line each:
//
//     fixtures::Tree tree;
//     QVERIFY(dupes::write(tree, {"a.jpg 100 A", "sub/b.jpg 100 A", "c.jpg 100 B"}));
//
// or below any folder: dupes::write(root, {...}).
//
// "path size seed [flip]": `size` bytes of a pattern picked by `seed`; files of
// one size and one seed are identical, another seed gives other bytes
// throughout; `flip` changes the one byte at that offset.

#include "common/file_fixtures.h"

#include <QStringList>

#include <algorithm>
#include <cstring>

namespace dupes {

inline QByteArray content(int size, QChar seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    quint64 state = 0x9E3779B97F4A7C15ull * (seed.unicode() + 1u);
    for (int i = 0; i < size; i += 8) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        std::memcpy(bytes.data() + i, &state, std::size_t(std::min(8, size - i)));
    }
    return bytes;
}

inline bool write(const QString& root, const QStringList& entries) {
    const QString folder = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    for (const QString& entry : entries) {
        const QStringList parts = entry.split(QLatin1Char(' '));
        if (parts.size() < 3)
            return false;
        QByteArray bytes = content(parts[1].toInt(), parts[2].at(0));
        if (parts.size() > 3) {
            const int at = parts[3].toInt();
            bytes[at] = char(bytes[at] ^ 0x5A);
        }
        if (!testing::writeFile(folder + parts[0], bytes))
            return false;
    }
    return true;
}

inline bool write(fixtures::Tree& tree, const QStringList& entries) {
    return write(tree.root(), entries);
}

// The lines with the tree's root cut off; empty lines stay empty.
inline QStringList relative(const fixtures::Tree& tree, const QStringList& lines) {
    QStringList out;
    for (const QString& line : lines)
        out.append(line.startsWith(tree.root()) ? line.mid(tree.root().size()) : line);
    return out;
}

} // namespace dupes
