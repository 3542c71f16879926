// Names on the tool's lines must read exactly as GNU ls shows them with
// --quoting-style=shell-escape, so a user can paste them into a shell and a
// script can split "old -> new" safely. Each row is checked against ls itself
// (in a UTF-8 locale) and, where given, against the form written out here.

#include "common/test_registry.h"
#include "fs/shell_quote.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

namespace {

// What ls prints for the single file `name` in a folder of its own.
QByteArray lsQuoted(const QString& folder, const QByteArray& name) {
    const QByteArray path = QFile::encodeName(folder) + '/' + name;
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0)
        return "(cannot create)";
    ::close(fd);
    QProcess ls;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    ls.setProcessEnvironment(environment);
    ls.start(QStringLiteral("ls"), {QStringLiteral("--quoting-style=shell-escape"), folder});
    const bool finished = ls.waitForFinished(10000);
    ::unlink(path.constData()); // Qt cannot remove a name that is not UTF-8
    if (!finished)
        return "(ls failed)";
    QByteArray out = ls.readAllStandardOutput();
    out.chop(1); // the line end
    return out;
}

} // namespace

class TestShellQuote : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("ls")).isEmpty())
            QSKIP("no ls to compare with");
    }

    void quotesLikeLs_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("expected"); // empty: compare with ls only
        QTest::newRow("plain") << QByteArray("IMG_0001.jpg") << QByteArray("IMG_0001.jpg");
        QTest::newRow("safe punctuation") << QByteArray("a+b,c-d.e:f@g%h]_.jpg") << QByteArray();
        QTest::newRow("space") << QByteArray("a b.jpg") << QByteArray("'a b.jpg'");
        QTest::newRow("arrow") << QByteArray("a -> b.jpg") << QByteArray("'a -> b.jpg'");
        QTest::newRow("line break")
            << QByteArray("line\nbreak.jpg") << QByteArray("'line'$'\\n''break.jpg'");
        QTest::newRow("leading line break") << QByteArray("\nx") << QByteArray("''$'\\n''x'");
        QTest::newRow("trailing line break") << QByteArray("x\n") << QByteArray("'x'$'\\n'");
        QTest::newRow("two escapes in a row") << QByteArray("a\r\nb") << QByteArray();
        QTest::newRow("tab") << QByteArray("tab\there") << QByteArray();
        QTest::newRow("apostrophe only") << QByteArray("it's.jpg") << QByteArray("\"it's.jpg\"");
        QTest::newRow("apostrophe and dollar") << QByteArray("it's$.jpg") << QByteArray();
        QTest::newRow("apostrophe after escape") << QByteArray("a\n'b") << QByteArray();
        QTest::newRow("lone apostrophe") << QByteArray("'") << QByteArray();
        QTest::newRow("double quote") << QByteArray("say \"hi\"") << QByteArray();
        QTest::newRow("both quotes") << QByteArray("a\"'b") << QByteArray();
        QTest::newRow("dollar") << QByteArray("$HOME.jpg") << QByteArray("'$HOME.jpg'");
        QTest::newRow("backslash") << QByteArray("back\\slash") << QByteArray("'back\\slash'");
        QTest::newRow("glob characters") << QByteArray("*?[x].jpg") << QByteArray();
        QTest::newRow("hash at start") << QByteArray("#1.jpg") << QByteArray("'#1.jpg'");
        QTest::newRow("hash inside") << QByteArray("no#1.jpg") << QByteArray("no#1.jpg");
        QTest::newRow("tilde at start") << QByteArray("~backup") << QByteArray();
        QTest::newRow("tilde inside") << QByteArray("file~") << QByteArray("file~");
        QTest::newRow("lone brace") << QByteArray("{") << QByteArray("'{'");
        QTest::newRow("braces in a name") << QByteArray("{a}") << QByteArray("{a}");
        QTest::newRow("shell operators") << QByteArray("a;b&c|d<e>f(g)`h`!i=j^k") << QByteArray();
        QTest::newRow("umlaut") << QByteArray("B\xc3\xa4r.jpg") << QByteArray("B\xc3\xa4r.jpg");
        QTest::newRow("umlaut and space") << QByteArray("gro\xc3\x9f es.jpg") << QByteArray();
        QTest::newRow("apostrophe and umlaut") << QByteArray("it's \xc3\xbc") << QByteArray();
        QTest::newRow("not UTF-8") << QByteArray("\xff.jpg") << QByteArray("''$'\\377''.jpg'");
        QTest::newRow("cut sequence") << QByteArray("a\xc3(b") << QByteArray();
        QTest::newRow("cut at the end") << QByteArray("a\xe2\x82") << QByteArray();
        QTest::newRow("overlong slash") << QByteArray("a\xc0\xaf"
                                                      "b")
                                        << QByteArray();
        QTest::newRow("control character") << QByteArray("a\x01z") << QByteArray("'a'$'\\001''z'");
        QTest::newRow("delete") << QByteArray("del\x7f") << QByteArray();
        QTest::newRow("bell and escape") << QByteArray("\a\x1b[1m") << QByteArray();
        QTest::newRow("C1 control") << QByteArray("a\xc2\x85z") << QByteArray();
        QTest::newRow("emoji") << QByteArray("\xf0\x9f\x93\xb7.jpg") << QByteArray();
    }
    void quotesLikeLs() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, expected);
        const QByteArray quoted = ShellEscapeQuoted(name);
        if (!expected.isEmpty())
            QCOMPARE(quoted, expected);
        QTemporaryDir folder;
        QCOMPARE(quoted, lsQuoted(folder.path(), name));
    }

    // ls never sees an empty name or a slash inside one; paths and the
    // empty text still come out as one shell word.
    void pathsAndEmptyText_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("empty") << QByteArray() << QByteArray("''");
        QTest::newRow("plain path") << QByteArray("/tmp/a/b.jpg") << QByteArray("/tmp/a/b.jpg");
        QTest::newRow("path with space")
            << QByteArray("/tmp/a b/c.jpg") << QByteArray("'/tmp/a b/c.jpg'");
    }
    void pathsAndEmptyText() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, expected);
        QCOMPARE(ShellEscapeQuoted(name), expected);
    }
};

KELVASTO_REGISTER_TEST(TestShellQuote)
#include "test_shell_quote.moc"
