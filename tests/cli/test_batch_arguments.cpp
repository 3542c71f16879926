// The rules kelvasto-batch applies to its arguments before any job runs: the
// language of the run, the kernel's reading of a path through links, the
// byte-exact taking of names that are not UTF-8, and the folders a walk
// already covers.

#include "cli/argument_paths.h"
#include "cli/cli_language.h"
#include "common/test_env.h"
#include "common/test_registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(ArgumentKind)

namespace {

// tree/real/x.jpg, tree/real/dir/x.jpg, tree/L -> real/dir,
// tree/link.jpg -> real/x.jpg, tree/fifo
bool buildTree(const QString& root) {
    return testing::writeFile(root + "/real/x.jpg", "outer") &&
           testing::writeFile(root + "/real/dir/x.jpg", "inner") &&
           QFile::link(root + "/real/dir", root + "/L") &&
           QFile::link(root + "/real/x.jpg", root + "/link.jpg") &&
           ::mkfifo(QFile::encodeName(root + "/fifo").constData(), 0600) == 0;
}

// Runs with the tree as the current folder, as a user's shell would.
class CurrentFolder {
public:
    explicit CurrentFolder(const QString& folder) : m_saved(QDir::currentPath()) {
        QDir::setCurrent(folder);
    }
    ~CurrentFolder() { QDir::setCurrent(m_saved); }

private:
    QString m_saved;
};

} // namespace

class TestBatchArguments : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_root; // the tree's real path

private slots:
    void initTestCase() {
        QVERIFY(buildTree(m_dir.path()));
        m_root = QDir(m_dir.path()).canonicalPath();
    }

    void languageFollowsTheLocale_data() {
        QTest::addColumn<QByteArray>("lcAll");
        QTest::addColumn<QByteArray>("lcMessages");
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<bool>("german");
        QTest::newRow("LANG German")
            << QByteArray() << QByteArray() << QByteArray("de_DE.UTF-8") << true;
        QTest::newRow("LANG Austrian")
            << QByteArray() << QByteArray() << QByteArray("de_AT") << true;
        QTest::newRow("LANG English")
            << QByteArray() << QByteArray() << QByteArray("en_GB.UTF-8") << false;
        QTest::newRow("LANG French")
            << QByteArray() << QByteArray() << QByteArray("fr_FR") << false;
        QTest::newRow("nothing set") << QByteArray() << QByteArray() << QByteArray() << false;
        QTest::newRow("LC_ALL wins over LANG")
            << QByteArray("C") << QByteArray() << QByteArray("de_DE.UTF-8") << false;
        QTest::newRow("LC_ALL German")
            << QByteArray("de_CH.UTF-8") << QByteArray("en_US") << QByteArray("en_US") << true;
        QTest::newRow("LC_MESSAGES wins over LANG")
            << QByteArray() << QByteArray("de_DE") << QByteArray("en_US") << true;
        QTest::newRow("LC_MESSAGES English")
            << QByteArray() << QByteArray("POSIX") << QByteArray("de_DE") << false;
    }
    void languageFollowsTheLocale() {
        QFETCH(QByteArray, lcAll);
        QFETCH(QByteArray, lcMessages);
        QFETCH(QByteArray, lang);
        QFETCH(bool, german);
        QCOMPARE(LocaleIsGerman(lcAll, lcMessages, lang), german);
    }

    void pathsAsTheKernelReadsThem_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("followFolderLink");
        QTest::addColumn<ArgumentKind>("kind");
        QTest::addColumn<QString>("path"); // below the tree; empty when not found
        QTest::newRow("dot-dot behind a link is the target's parent")
            << "L/../x.jpg" << false << ArgumentKind::File << "real/x.jpg";
        QTest::newRow("through a link")
            << "L/x.jpg" << false << ArgumentKind::File << "real/dir/x.jpg";
        QTest::newRow("repeated slashes and dots")
            << ".//real/./x.jpg" << false << ArgumentKind::File << "real/x.jpg";
        QTest::newRow("a link to a folder is a link")
            << "L" << false << ArgumentKind::SymbolicLink << "L";
        QTest::newRow("a start folder given as a link is followed")
            << "L" << true << ArgumentKind::Folder << "real/dir/";
        QTest::newRow("dot-dot as the final name")
            << "L/.." << true << ArgumentKind::Folder << "real/";
        QTest::newRow("trailing slash")
            << "real/dir/" << false << ArgumentKind::Folder << "real/dir/";
        QTest::newRow("a link to a file stays a link")
            << "link.jpg" << true << ArgumentKind::SymbolicLink << "link.jpg";
        QTest::newRow("FIFO") << "fifo" << false << ArgumentKind::Other << "fifo";
        QTest::newRow("missing file") << "nothing.jpg" << false << ArgumentKind::Missing << "";
        QTest::newRow("missing folder on the way")
            << "nowhere/x.jpg" << false << ArgumentKind::Missing << "";
        QTest::newRow("a file used as a folder")
            << "real/x.jpg/y.jpg" << false << ArgumentKind::Missing << "";
        QTest::newRow("empty") << "" << false << ArgumentKind::Missing << "";
    }
    void pathsAsTheKernelReadsThem() {
        QFETCH(QString, argument);
        QFETCH(bool, followFolderLink);
        QFETCH(ArgumentKind, kind);
        QFETCH(QString, path);
        CurrentFolder here(m_root);
        const ResolvedArgument resolved = ResolveArgument(argument, followFolderLink);
        QCOMPARE(resolved.kind, kind);
        if (!path.isEmpty())
            QCOMPARE(resolved.path, m_root + QLatin1Char('/') + path);
    }

    void destinationFolders_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("folder"); // below the tree; empty: cannot be reached
        QTest::newRow("dot-dot behind a link") << "L/.."
                                               << "real/";
        QTest::newRow("existing") << "real/dir"
                                  << "real/dir/";
        QTest::newRow("new folders below a link") << "L/new/sub"
                                                  << "real/dir/new/sub/";
        QTest::newRow("dot-dot inside the new part") << "new/../other"
                                                     << "other/";
        QTest::newRow("below a file") << "real/x.jpg/sub"
                                      << "";
    }
    void destinationFolders() {
        QFETCH(QString, argument);
        QFETCH(QString, folder);
        CurrentFolder here(m_root);
        const QString resolved = ResolveFolderToCreate(argument);
        QCOMPARE(resolved, folder.isEmpty() ? QString() : m_root + QLatin1Char('/') + folder);
    }

    void namesKeepTheirBytes_data() {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<bool>("faithful");
        QTest::newRow("ASCII") << QByteArray("a.jpg") << true;
        QTest::newRow("UTF-8") << QByteArray("B\xc3\xa4r.jpg") << true;
        QTest::newRow("Latin-1 byte") << QByteArray("B\xe4r.jpg") << false;
        QTest::newRow("0xFF") << QByteArray("\xff.jpg") << false;
        QTest::newRow("cut sequence") << QByteArray("a\xc3(b") << false;
        QTest::newRow("encoded surrogate") << QByteArray("\xed\xb2\x80") << false;
        QTest::newRow("valid and invalid") << QByteArray("\xc3\xa4\xff") << false;
    }
    void namesKeepTheirBytes() {
        QFETCH(QByteArray, raw);
        QFETCH(bool, faithful);
        const QString decoded = DecodeArgument(raw);
        QCOMPARE(ArgumentBytes(decoded), raw);
        QCOMPARE(IsFaithfulArgument(decoded), faithful);
    }

    void startFoldersWalkedOnce_data() {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("walked");
        QTest::newRow("inner after outer") << QStringList{"/a/", "/a/b/"} << QStringList{"/a/"};
        QTest::newRow("inner before outer")
            << QStringList{"/a/b/c/", "/x/", "/a/"} << QStringList{"/x/", "/a/"};
        QTest::newRow("the same twice") << QStringList{"/a/", "/a/"} << QStringList{"/a/"};
        QTest::newRow("common prefix is no parent")
            << QStringList{"/a/", "/ab/"} << QStringList{"/a/", "/ab/"};
        QTest::newRow("behind a hidden folder the walk does not enter")
            << QStringList{"/a/", "/a/.h/b/"} << QStringList{"/a/", "/a/.h/b/"};
        QTest::newRow("hidden start folder covers its own tree")
            << QStringList{"/a/.h/", "/a/.h/b/"} << QStringList{"/a/.h/"};
        QTest::newRow("root") << QStringList{"/a/", "/"} << QStringList{"/"};
    }
    void startFoldersWalkedOnce() {
        QFETCH(QStringList, folders);
        QFETCH(QStringList, walked);
        QCOMPARE(OutermostFolders(folders), walked);
    }
};

KELVASTO_REGISTER_TEST(TestBatchArguments)
#include "test_batch_arguments.moc"
