#include "i18n/mnemonic_letters.h"

#include <optional>

namespace {

// The position of the marking "&" in `caption`; none when it has none.
std::optional<qsizetype> MarkerPosition(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&'))
            continue;
        if (caption.at(i + 1) == QLatin1Char('&')) {
            ++i; // a literal "&"
            continue;
        }
        if (caption.at(i + 1).isLetterOrNumber())
            return i;
    }
    return std::nullopt;
}

bool IsWordStart(const QString& text, qsizetype i) {
    return i == 0 || !text.at(i - 1).isLetterOrNumber();
}

bool IsPlainLetter(QChar c) {
    return c.unicode() < 0x80 && c.isLetter();
}

// Candidate positions in `plain`, best first.
QList<qsizetype> Candidates(const QString& plain) {
    QList<qsizetype> wordStarts, letters, digits, others;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const QChar c = plain.at(i);
        if (c == QLatin1Char('&')) {
            ++i; // the second of a literal "&&"
            continue;
        }
        if (!c.isLetterOrNumber())
            continue;
        if (c.isDigit())
            digits << i;
        else if (!IsPlainLetter(c))
            others << i;
        else if (IsWordStart(plain, i))
            wordStarts << i;
        else
            letters << i;
    }
    return wordStarts + letters + digits + others;
}

QChar Folded(QChar c) {
    return c.toCaseFolded();
}

} // namespace

QChar MnemonicOf(const QString& caption) {
    const std::optional<qsizetype> at = MarkerPosition(caption);
    return at ? Folded(caption.at(*at + 1)) : QChar();
}

QString WithoutMnemonic(const QString& caption) {
    QString plain = caption;
    if (const std::optional<qsizetype> at = MarkerPosition(caption))
        plain.remove(*at, 1);
    return plain;
}

QStringList WithMnemonics(const QStringList& captions, QString& taken) {
    // The texts' own letters first, wherever they stand in the group: they are
    // the ones the help and the user know. Then the others choose.
    QStringList result(captions.size());
    QList<bool> done(captions.size(), false);
    for (qsizetype i = 0; i < captions.size(); ++i) {
        const QChar given = MnemonicOf(captions.at(i));
        if (!given.isNull() && !taken.contains(given)) {
            taken.append(given);
            result[i] = captions.at(i);
            done[i] = true;
        }
    }
    for (qsizetype i = 0; i < captions.size(); ++i) {
        if (done.at(i))
            continue;
        QString plain = WithoutMnemonic(captions.at(i));
        for (const qsizetype at : Candidates(plain)) {
            const QChar letter = Folded(plain.at(at));
            if (taken.contains(letter))
                continue;
            taken.append(letter);
            plain.insert(at, QLatin1Char('&'));
            break;
        }
        result[i] = plain;
    }
    return result;
}
