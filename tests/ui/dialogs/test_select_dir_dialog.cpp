// The folder chooser: its geometry at 96 and 120 dpi, the preselection rules,
// the program-wide texts, and OK, No and Abort driven from the test.
#include "common/dialog_answerer.h"
#include "common/test_registry.h"
#include "ui/dialogs/select_dir_dialog.h"
#include "ui/dialogs/select_dir_layout.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

namespace {

// Runs ChooseDirectory on `directory` with one queued answer; returns the
// directory afterwards and what the dialog showed.
struct Run {
    QString directory;
    ShownDialog shown;
    int unexpected = 0;
};

Run Choose(QString directory, const QString& answer, std::function<void(QWidget*)> beforeClick = {},
           const QString& language = QStringLiteral("deutsch")) {
    DialogAnswerer answers;
    if (!answer.isEmpty())
        answers.queue(answer, std::move(beforeClick));
    const bool returned = ChooseDirectory(
        directory, QStringLiteral("Verzeichnis auswählen"),
        QStringLiteral("Bitte wählen Sie das gewünschte Zielverzeichnis aus:"), language);
    Run run;
    run.directory = directory;
    if (!answers.shown().isEmpty())
        run.shown = answers.shown().first();
    run.unexpected = answers.unexpected();
    if (returned)
        run.directory = QStringLiteral("<returned true>");
    return run;
}

} // namespace

class TestSelectDirDialog : public QObject {
    Q_OBJECT
    QTemporaryDir m_root;
    QString m_bilder;
    QString m_urlaub;

private slots:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        m_bilder = QDir::cleanPath(m_root.path() + "/Bilder");
        m_urlaub = m_bilder + "/Urlaub";
        QVERIFY(QDir().mkpath(m_urlaub));
        QVERIFY(QDir().mkpath(m_root.path() + "/Andere"));
    }

    void layoutAtDesignResolution() {
        const SelectDirLayout l = SelectDirLayoutFor(96, QSize(1280, 1024));
        QCOMPARE(l.client, QSize(280, 320));
        QCOMPARE(l.label, QRect(15, 10, 250, 26));
        QCOMPARE(l.tree, QRect(15, 48, 250, 225));
        QCOMPARE(l.okButton, QRect(20, 285, 100, 25));
        QCOMPARE(l.noButton, QRect(125, 285, 30, 25));
        QCOMPARE(l.abortButton, QRect(160, 285, 100, 25));
        QCOMPARE(l.windowPos, QPoint(640 - 140, 512 - 160));
    }

    void layoutScalesWithResolution() {
        // Every figure * 120 / 96, rounded to nearest, then centred again.
        const SelectDirLayout l = SelectDirLayoutFor(120, QSize(1280, 1024));
        QCOMPARE(l.client, QSize(350, 400));
        QCOMPARE(l.label, QRect(19, 13, 313, 33));
        QCOMPARE(l.tree, QRect(19, 60, 313, 281));
        QCOMPARE(l.okButton, QRect(25, 356, 125, 31));
        QCOMPARE(l.noButton, QRect(156, 356, 38, 31));
        QCOMPARE(l.abortButton, QRect(200, 356, 125, 31));
        QCOMPARE(l.windowPos, QPoint(640 - 175, 512 - 200));
    }

    void preselectedFolder_data() {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("folder");
        QTest::newRow("folder") << "/a/Bilder/Urlaub" << QString("/a/Bilder/Urlaub");
        QTest::newRow("trailing slash") << "/a/Bilder/" << QString("/a/Bilder");
        QTest::newRow("root") << "/" << QString("/");
        QTest::newRow("double slashes") << "//a//b//" << QString("/a/b");
        QTest::newRow("relative") << "x/y" << QString("/cwd/x/y");
        QTest::newRow("dot dot") << "../z" << QString("/z");
        QTest::newRow("empty") << "" << QString("");
    }
    void preselectedFolder() {
        QFETCH(QString, directory);
        QFETCH(QString, folder);
        QCOMPARE(PreselectedFolder(directory, "/cwd"), folder);
    }

    void preselectionInTheTree_data() {
        QTest::addColumn<QString>("directory"); // "@" stands for the test root
        QTest::addColumn<QString>("selected");  // "." stands for the working folder
        QTest::newRow("folder") << "@/Bilder/Urlaub" << QString("@/Bilder/Urlaub");
        QTest::newRow("trailing slash") << "@/Bilder/" << QString("@/Bilder");
        QTest::newRow("root") << "/" << QString("/");
        QTest::newRow("empty text leaves the tree at its root") << "" << QString("");
        QTest::newRow("vanished folder opens at the working folder") << "@/Weg" << QString(".");
        QTest::newRow("a file opens at the working folder") << "@/Bilder/f.jpg" << QString(".");
    }
    void preselectionInTheTree() {
        QFETCH(QString, directory);
        QFETCH(QString, selected);
        QFile file(m_bilder + "/f.jpg");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        directory.replace("@", m_root.path());
        selected.replace("@", m_root.path());
        if (selected == ".")
            selected = QDir::currentPath();
        const Run run = Choose(directory, "AbortButton");
        QCOMPARE(run.shown.className, QString("TSelectDirDlg"));
        QCOMPARE(run.shown.folder, selected);
        QCOMPARE(run.directory, directory); // Abort leaves it unchanged
    }

    void relativePathIsTakenFromTheWorkingFolder() {
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_root.path()));
        const Run run = Choose("Bilder", "OKButton");
        QDir::setCurrent(before);
        QCOMPARE(run.shown.folder, m_bilder);
        QCOMPARE(run.directory, m_bilder);
    }

    void results_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("directory"); // "@" stands for the test root
        QTest::newRow("OK gives the preselected folder") << "OKButton" << QString("@/Bilder");
        QTest::newRow("No gives empty") << "NoButton" << QString("");
        QTest::newRow("Abort leaves it") << "AbortButton" << QString("@/Bilder/");
        QTest::newRow("close box leaves it") << "" << QString("@/Bilder/");
    }
    void results() {
        QFETCH(QString, answer);
        QFETCH(QString, directory);
        directory.replace("@", m_root.path());
        const Run run = Choose(m_bilder + "/", answer);
        QCOMPARE(run.directory, directory);
        QCOMPARE(run.unexpected, answer.isEmpty() ? 1 : 0);
    }

    void okGivesTheFolderTheUserSelected() {
        DialogAnswerer answers;
        answers.queueFolder(m_urlaub);
        QString directory = m_root.path() + "/Andere";
        ChooseDirectory(directory, "c", "p", "english");
        QCOMPARE(directory, m_urlaub);
        QCOMPARE(answers.shown().first().folder, QDir::cleanPath(m_root.path() + "/Andere"));
    }

    void okWithoutSelectionGivesEmpty() {
        QCOMPARE(Choose("", "OKButton").directory, QString());
        const Run cleared = Choose(m_bilder, "OKButton", [](QWidget* dialog) {
            dialog->findChild<QTreeView*>("ShellTreeView")->clearSelection();
        });
        QCOMPARE(cleared.directory, QString());
    }

    void okOnAFolderThatVanishedGivesEmpty() {
        const QString gone = m_root.path() + "/Vergaenglich";
        QVERIFY(QDir().mkpath(gone));
        QCOMPARE(Choose(gone, "OKButton", [gone](QWidget*) { QDir(gone).removeRecursively(); })
                     .directory,
                 QString());
    }

    void controlsPlacesTextsAndFocus() {
        bool seen = false;
        QList<QRect> places;
        QStringList texts;
        QStringList tabOrder;
        QString focus;
        Choose(m_bilder, "AbortButton", [&](QWidget* dialog) {
            seen = true;
            for (const char* name :
                 {"LabelUeberschrift", "ShellTreeView", "OKButton", "NoButton", "AbortButton"})
                places << dialog->findChild<QWidget*>(name)->geometry();
            texts << dialog->windowTitle()
                  << dialog->findChild<QLabel*>("LabelUeberschrift")->text();
            for (const char* name : {"OKButton", "NoButton", "AbortButton"})
                texts << dialog->findChild<QPushButton*>(name)->text();
            focus = dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
            // The controls that Tab visits, starting at the tree.
            QWidget* tree = dialog->findChild<QWidget*>("ShellTreeView");
            QWidget* w = tree;
            do {
                if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(dialog))
                    tabOrder << w->objectName();
                w = w->nextInFocusChain();
            } while (w != tree && tabOrder.size() < 10);
            places << QRect(QPoint(), dialog->size());
        });
        QVERIFY(seen);
        const SelectDirLayout l = SelectDirLayoutFor(96, QSize());
        QCOMPARE(places, (QList<QRect>{l.label, l.tree, l.okButton, l.noButton, l.abortButton,
                                       QRect(0, 0, 280, 320)}));
        QCOMPARE(texts, (QStringList{"Verzeichnis auswählen",
                                     "Bitte wählen Sie das gewünschte Zielverzeichnis aus:", "OK",
                                     "", "&Abbrechen"}));
        QCOMPARE(focus, QString("ShellTreeView"));
        QCOMPARE(tabOrder, (QStringList{"ShellTreeView", "OKButton", "NoButton", "AbortButton"}));
    }

    void captionsFollowTheLanguageOrKeepThePreviousOnes_data() {
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QString>("abortCaption");
        QTest::newRow("ENGLISH in capitals") << QStringList{"ENGLISH"} << "&Abort";
        QTest::newRow("dutch") << QStringList{"dutch"} << QString::fromUtf8("&Beëindigen");
        QTest::newRow("unknown keeps french") << QStringList{"french", "klingon"} << "&Interrompre";
    }
    void captionsFollowTheLanguageOrKeepThePreviousOnes() {
        QFETCH(QStringList, languages);
        QFETCH(QString, abortCaption);
        QString caption;
        for (const QString& language : languages)
            Choose(
                "", "AbortButton",
                [&caption](QWidget* dialog) {
                    caption = dialog->findChild<QPushButton*>("AbortButton")->text();
                },
                language);
        QCOMPARE(caption, abortCaption);
        QCOMPARE(SelectDirDialogTexts().abortCaption, abortCaption);
        QCOMPARE(SelectDirDialogTexts().okCaption, QString("OK"));
        QCOMPARE(SelectDirDialogTexts().language, languages.last());
    }

    void gradientBehindTheControls() {
        TSelectDirDlg dialog;
        QImage image(dialog.size(), QImage::Format_RGB32);
        dialog.render(&image);
        QCOMPARE(image.pixelColor(0, 315), QColor(Qt::white));
        QCOMPARE(image.pixelColor(279, 315), QColor(192, 192, 192));
    }
};

KELVASTO_REGISTER_TEST(TestSelectDirDialog)
#include "test_select_dir_dialog.moc"
