#include "fs/file_name_bytes.h"

#include "fs/shell_quote.h"

#include <QFile>

namespace {

constexpr char16_t kEscapeBase = 0xDC00; // + the byte, for bytes 0x80..0xFF

bool isEscape(QChar c) {
    return c.unicode() >= kEscapeBase + 0x80 && c.unicode() <= kEscapeBase + 0xFF;
}

bool survivesDecoding(const QByteArray& bytes) {
    return QFile::encodeName(QFile::decodeName(bytes)) == bytes;
}

} // namespace

QString DecodeNameLosslessly(const QByteArray& bytes) {
    if (survivesDecoding(bytes))
        return QFile::decodeName(bytes);
    QString escaped;
    escaped.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        escaped.append(c < 0x80 ? QChar(c) : QChar(char16_t(kEscapeBase + c)));
    }
    return escaped;
}

QByteArray FileNameBytes(const QString& name) {
    QByteArray bytes;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !isEscape(name.at(i)))
            continue;
        bytes += QFile::encodeName(name.mid(runStart, i - runStart));
        if (i < name.size())
            bytes += char(name.at(i).unicode() - kEscapeBase);
        runStart = i + 1;
    }
    return bytes;
}

QString ShellQuotedName(const QString& name) {
    // Escapes keep the quoted form plain UTF-8 whatever the name's bytes.
    return QString::fromUtf8(ShellEscapeQuoted(FileNameBytes(name)));
}

QString ReadableName(const QString& name) {
    for (const QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || isEscape(c))
            return ShellQuotedName(name);
    return name;
}
