#include "fs/shell_quote.h"

#include <QChar>
#include <QString>

namespace {

// Characters a shell takes as themselves, wherever they stand.
bool isPlain(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '%' ||
           c == '+' || c == ',' || c == '-' || c == '.' || c == '/' || c == ':' || c == ']' ||
           c == '_' || c == '@';
}

// Characters that make the shell do something: quote the whole name.
bool isShellSpecial(unsigned char c) {
    switch (c) {
    case ' ':
    case '!':
    case '"':
    case '$':
    case '&':
    case '(':
    case ')':
    case '*':
    case ';':
    case '<':
    case '=':
    case '>':
    case '[':
    case '^':
    case '`':
    case '|':
    case '\'':
    case '?':
    case '\\':
        return true;
    default:
        return false;
    }
}

// "a", "b", ... for the controls with a C escape letter; 0 for the others.
char escapeLetter(unsigned char c) {
    switch (c) {
    case '\a':
        return 'a';
    case '\b':
        return 'b';
    case '\f':
        return 'f';
    case '\n':
        return 'n';
    case '\r':
        return 'r';
    case '\t':
        return 't';
    case '\v':
        return 'v';
    default:
        return 0;
    }
}

// Length of the well-formed UTF-8 sequence at `i` (1..4), 0 when the bytes
// there are not one. Overlong forms and surrogates count as malformed.
int utf8Length(const QByteArray& s, qsizetype i, char32_t& code) {
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = at(i);
    int length = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > s.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((at(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (at(i + k) & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

bool isPrintable(char32_t code) {
    return QChar::isPrint(code);
}

// Whether every character of `name` is valid, printable UTF-8 and each ASCII
// one passes `check(c, index)`.
template <class AsciiCheck> bool everyCharacter(const QByteArray& name, AsciiCheck check) {
    for (qsizetype i = 0; i < name.size();) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c < 0x80) {
            if (!check(c, i))
                return false;
            ++i;
            continue;
        }
        char32_t code = 0;
        const int length = utf8Length(name, i, code);
        if (length == 0 || !isPrintable(code))
            return false;
        i += length;
    }
    return true;
}

// Whether a shell would read `name` differently from its bytes.
bool needsQuotes(const QByteArray& name) {
    return name.isEmpty() || !everyCharacter(name, [&name](unsigned char c, qsizetype i) {
               // "#" and "~" only at the start, braces only alone.
               return !(c < 0x20 || c == 0x7F || isShellSpecial(c)) &&
                      !((c == '#' || c == '~') && i == 0) &&
                      !((c == '{' || c == '}') && name.size() == 1);
           });
}

// Builds the quoted form: 'text' runs, with $'\ooo' escapes between them.
class QuotedName {
public:
    QuotedName() : m_out("'") {}

    void plain(char c) {
        closeEscape();
        m_out += c;
    }
    // '\'' closes the quoted (or $'...') run, adds the quote, opens a new run.
    void singleQuote() {
        m_out += "'\\''";
        m_inEscape = false;
    }
    void escaped(const QByteArray& escape) {
        if (!m_inEscape) {
            m_out += "'$'";
            m_inEscape = true;
        }
        m_out += '\\';
        m_out += escape;
    }
    QByteArray finish() { return m_out + '\''; }

private:
    void closeEscape() {
        if (m_inEscape) {
            m_out += "''";
            m_inEscape = false;
        }
    }
    QByteArray m_out;
    bool m_inEscape = false;
};

QByteArray octal(unsigned char c) {
    return QByteArray(1, char('0' + (c >> 6))) + char('0' + ((c >> 3) & 7)) + char('0' + (c & 7));
}

// ls turns an apostrophe-only name into "it's" rather than 'it'\''s'.
bool fitsDoubleQuotes(const QByteArray& name) {
    bool apostrophe = false;
    const bool fits = everyCharacter(name, [&](unsigned char c, qsizetype i) {
        apostrophe |= c == '\'';
        return c != '@' &&
               (isPlain(c) || c == '\'' || c == ' ' || ((c == '#' || c == '~') && i == 0) ||
                ((c == '{' || c == '}') && name.size() == 1));
    });
    return fits && apostrophe;
}

} // namespace

QByteArray ShellEscapeQuoted(const QByteArray& name) {
    if (!needsQuotes(name))
        return name;
    if (fitsDoubleQuotes(name))
        return '"' + name + '"';
    QuotedName quoted;
    for (qsizetype i = 0; i < name.size();) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c >= 0x80) {
            char32_t code = 0;
            const int length = utf8Length(name, i, code);
            if (length > 0 && isPrintable(code)) {
                for (int k = 0; k < length; ++k)
                    quoted.plain(name[i + k]);
                i += length;
            } else {
                quoted.escaped(octal(c));
                ++i;
            }
            continue;
        }
        if (const char letter = escapeLetter(c))
            quoted.escaped(QByteArray(1, letter));
        else if (c < 0x20 || c == 0x7F)
            quoted.escaped(octal(c));
        else if (c == '\'')
            quoted.singleQuote();
        else
            quoted.plain(char(c));
        ++i;
    }
    return quoted.finish();
}
