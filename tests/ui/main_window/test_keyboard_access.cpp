// The window used by keyboard alone: Alt and a menu's letter opens it, the
// standard keys run their entries, Enter opens a destination chooser and the
// file list's items, Backspace goes up, and the focus comes back to the
// button that started a job once its message box is answered.

#include "common/main_window_fixture.h"

#include "common/dialog_answerer.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "i18n/mnemonic_letters.h"
#include "ui/file_list/shell_file_list.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <ranges>

using namespace mwtest;

namespace {

std::unique_ptr<THauptForm> ActiveWindow() {
    auto window = MakeWindow();
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("window not active");
    return window;
}

QString CurrentName(ShellFileList& list) {
    const QModelIndex current = list.activeView()->currentIndex();
    return current.data().toString();
}

} // namespace

class TestKeyboardAccess : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }
    void cleanup() { SetLanguageOffset(0); }

    void altAndLetterOpensEachMenu_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<int>("offset");
        for (const int offset : {0, 10000})
            for (const char* menu : {"HMenu_Datei", "HMenu_Aktionen", "HMenu_Info"})
                QTest::addRow("%s %d", menu, offset) << QString::fromLatin1(menu) << offset;
    }
    void altAndLetterOpensEachMenu() {
        QFETCH(QString, menu);
        QFETCH(int, offset);
        auto window = ActiveWindow();
        SwitchLanguage(*window, offset);
        auto* shown = Find<QMenu>(*window, menu);
        const QChar letter = MnemonicOf(shown->title());
        QVERIFY2(!letter.isNull(), qPrintable(shown->title()));
        QTest::keyClick(window.get(), char(letter.toLatin1()), Qt::AltModifier);
        QTRY_VERIFY(shown->isVisible());
        shown->close();
    }

    // Every entry of a menu has a letter of its own there.
    void menuEntriesHaveDistinctLetters() {
        auto window = MakeWindow();
        for (const int offset : {0, 10000}) {
            SwitchLanguage(*window, offset);
            for (QMenu* menu : window->findChildren<QMenu*>()) {
                QSet<QChar> letters;
                for (QAction* action : menu->actions()) {
                    if (action->isSeparator() || action->text().isEmpty())
                        continue;
                    const QChar letter = MnemonicOf(action->text());
                    QVERIFY2(!letter.isNull() && !letters.contains(letter),
                             qPrintable(menu->objectName() + ": " + action->text()));
                    letters.insert(letter);
                }
            }
        }
    }

    void standardKeyRunsItsEntry_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<int>("tab"); // PageControl01's page to show first
        QTest::newRow("F1 help") << "HMenuInfoHilfe" << QKeySequence(Qt::Key_F1) << 0;
        QTest::newRow("F5 refresh") << "TB01Refresh" << QKeySequence(Qt::Key_F5) << 0;
        QTest::newRow("Ctrl+Z undo")
            << "HMenuDateiRueckgaengig" << QKeySequence(Qt::CTRL | Qt::Key_Z) << 0;
        QTest::newRow("Ctrl+Q quit") << "HMenu_ProgEnde" << QKeySequence(Qt::CTRL | Qt::Key_Q) << 0;
        QTest::newRow("Ctrl+O editor open")
            << "TB02LoadPic" << QKeySequence(Qt::CTRL | Qt::Key_O) << 1;
        QTest::newRow("Ctrl+S editor save")
            << "TB02SavePic" << QKeySequence(Qt::CTRL | Qt::Key_S) << 1;
    }
    void standardKeyRunsItsEntry() {
        QFETCH(QString, action);
        QFETCH(QKeySequence, key);
        QFETCH(int, tab);
        auto window = ActiveWindow();
        Find<QTabWidget>(*window, "PageControl01")->setCurrentIndex(tab);
        auto* entry = Find<QAction>(*window, action);
        // Only the key is under test: the entry's own work stays out.
        QObject::disconnect(entry, &QAction::triggered, nullptr, nullptr);
        entry->setEnabled(true);
        QSignalSpy triggered(entry, &QAction::triggered);
        QTest::keySequence(window.get(), key);
        QCOMPARE(triggered.size(), 1);
    }

    // Alt pressed and released alone, or F10, moves into the menu bar (its
    // first menu highlighted, Down opens it), from the tree, the file list,
    // a page's button and the editor tab; Escape leaves it again.
    void altAloneAndF10ReachTheMenuBar_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("focused");
        QTest::addColumn<int>("tab");
        for (const int key : {int(Qt::Key_Alt), int(Qt::Key_F10)})
            for (const char* control :
                 {"ShellTreeView01", "ShellListView01", "BitBtn_DDS01", "TB02LoadPic"}) {
                const int tab = QByteArray(control).startsWith("TB02") ? 1 : 0;
                QTest::addRow("%s from %s", key == Qt::Key_Alt ? "Alt" : "F10", control)
                    << key << QString::fromLatin1(control) << tab;
            }
    }
    void altAloneAndF10ReachTheMenuBar() {
        QFETCH(int, key);
        QFETCH(QString, focused);
        QFETCH(int, tab);
        auto window = ActiveWindow();
        Find<QTabWidget>(*window, "PageControl01")->setCurrentIndex(tab);
        QWidget* start = Find<QWidget>(*window, focused);
        if (start == window->fileList())
            start = window->fileList()->activeView();
        if (!start) // a toolbar entry: its button
            for (QWidget* w :
                 Find<QAction>(*window, focused)->associatedObjects() |
                     std::views::transform([](QObject* o) { return qobject_cast<QWidget*>(o); }))
                if (w && !qobject_cast<QMenu*>(w))
                    start = w;
        QVERIFY(start);
        start->setFocus();
        QTRY_VERIFY(start->hasFocus());
        QMenuBar* bar = window->menuBar();
        QWidget* target = QApplication::focusWidget();
        if (key == Qt::Key_Alt) {
            QTest::keyPress(target, Qt::Key_Alt, Qt::AltModifier);
            QTest::keyRelease(target, Qt::Key_Alt, Qt::NoModifier);
        } else {
            QTest::keyClick(target, Qt::Key_F10);
        }
        QTRY_VERIFY(bar->activeAction() != nullptr);
        QCOMPARE(bar->activeAction()->menu()->objectName(), QStringLiteral("HMenu_Datei"));
        QTest::keyClick(bar, Qt::Key_Down);
        QTRY_VERIFY(Find<QMenu>(*window, "HMenu_Datei")->isVisible());
        QTest::keyClick(Find<QMenu>(*window, "HMenu_Datei"), Qt::Key_Escape);
        QTest::keyClick(bar, Qt::Key_Escape);
        QTRY_VERIFY(bar->activeAction() == nullptr);
    }

    void keyOnDestinationFieldOpensTheChooser_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("opens");
        for (const char* field :
             {"GrafikZielverzeichnis", "IdxZielverzeichnis", "FktZielverzeichnis"}) {
            QTest::addRow("%s Return", field)
                << QString::fromLatin1(field) << int(Qt::Key_Return) << true;
            QTest::addRow("%s Space", field)
                << QString::fromLatin1(field) << int(Qt::Key_Space) << true;
            QTest::addRow("%s letter", field)
                << QString::fromLatin1(field) << int(Qt::Key_A) << false;
        }
        QTest::newRow("keypad Enter") << "GrafikZielverzeichnis" << int(Qt::Key_Enter) << true;
    }
    void keyOnDestinationFieldOpensTheChooser() {
        QFETCH(QString, field);
        QFETCH(int, key);
        QFETCH(bool, opens);
        auto window = MakeWindow();
        DialogAnswerer answers;
        answers.queue("AbortButton");
        QTest::keyClick(Find<QLineEdit>(*window, field), Qt::Key(key));
        QCOMPARE(answers.shown().size(), opens ? 1 : 0);
    }

    void enterOpensAndBackspaceGoesUp() {
        Folder folder({"inner/", "inner/deep.jpg", "picture.jpg"});
        auto window = ActiveWindow();
        QVERIFY(ShowFolder(*window, folder.path()));
        QVERIFY(WaitForItems(*window, {"inner", "picture.jpg"}));
        ShellFileList& list = *window->fileList();
        QAbstractItemView* view = list.activeView();
        view->setFocus();
        view->setCurrentIndex(view->model()->index(0, 0, view->rootIndex()));
        QCOMPARE(CurrentName(list), QString("inner"));

        QTest::keyClick(view, Qt::Key_Return);
        QTRY_COMPARE(QDir::cleanPath(list.folder()), folder.file("inner"));
        QVERIFY(WaitForItems(*window, {"deep.jpg"}));

        QTest::keyClick(list.activeView(), Qt::Key_Backspace);
        QTRY_COMPARE(QDir::cleanPath(list.folder()), QDir::cleanPath(folder.path()));
        // Back in the parent, the folder one came from is the current item.
        QTRY_COMPARE(CurrentName(list), QString("inner"));
    }

    void focusReturnsToTheButtonAfterTheMessage() {
        Folder folder({"empty/"});
        auto window = ActiveWindow();
        QVERIFY(ShowFolder(*window, folder.file("empty")));
        Find<QLineEdit>(*window, "GrafikZielverzeichnis")->setText(folder.path());
        auto* start = Find<QPushButton>(*window, "BitBtn_DDS01");
        start->setFocus();
        QTRY_COMPARE(window->focusWidget(), static_cast<QWidget*>(start));
        DialogAnswerer answers;
        answers.queue("OK");
        QTest::keyClick(start, Qt::Key_Space);
        QTRY_COMPARE(answers.shown().size(), 1);
        QTRY_COMPARE(window->focusWidget(), static_cast<QWidget*>(start));
    }

    // At start the keyboard is in the folder tree, not on the tab bar.
    void startsInTheFolderTree() {
        auto window = ActiveWindow();
        QTRY_VERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("ShellTreeView01"));
    }
};

KELVASTO_REGISTER_TEST(TestKeyboardAccess)
#include "test_keyboard_access.moc"
