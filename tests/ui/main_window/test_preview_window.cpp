// The pop-up preview from the file list: the list's mouse moves, "ThumbLinks",
// the mouse watcher that hides it once the pointer has left the list, a size
// changed in the options, and menus and dialogs it must not cover.

#include "common/main_window_fixture.h"
#include "ui/main_window/preview_controller.h"
#include "ui/main_window/window_commands.h"

#include "common/dialog_answerer.h"
#include "common/picture_files_for_tests.h"
#include "common/test_registry.h"
#include "preview/maus_ueberwachung.h"
#include "preview/thumb_form.h"
#include "ui/dialogs/options_dialog.h"

#include <QAbstractItemView>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>

using namespace mwtest;

namespace {

// Moves the mouse over the named item of the list (empty: past the items).
void moveOver(THauptForm& window, const QString& name) {
    QAbstractItemView* view = window.fileList()->activeView();
    QPoint at(view->viewport()->width() - 2, view->viewport()->height() - 2);
    if (!name.isEmpty()) {
        const int row = int(window.fileList()->itemNames().indexOf(name));
        QVERIFY(row >= 0);
        at = view->visualRect(view->model()->index(row, 0, view->rootIndex())).center();
    }
    QMouseEvent move(QEvent::MouseMove, at, view->viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view->viewport(), &move);
}

// The window shown on a folder with two 400 x 300 pictures, the pop-up over a.jpg.
struct PreviewOnList {
    Folder folder{{"a.jpg", "b.jpg"}};
    std::unique_ptr<THauptForm> window = MakeWindow();
    TFormOptionen options{*window};

    PreviewOnList() {
        for (const char* name : {"a.jpg", "b.jpg"})
            testing::writePictureFile(folder.file(name), testing::photoLike(400, 300));
        window->controller<WindowCommandsController>().setOptionsDialog(&options);
        window->resize(900, 700);
        window->show();
    }
    TThumbForm& thumb() const { return *window->controller<PreviewController>().thumbForm(); }
    QSize shown() const {
        return thumb().findChild<QLabel*>(QStringLiteral("HintImage"))->pixmap().size();
    }
};

} // namespace

class TestPreviewWindow : public QObject {
    Q_OBJECT
private slots:
    void movesOverTheListShowAndHideThePreview() {
        Folder folder({"a.jpg", "b.jpg"});
        testing::writePictureFile(folder.file("a.jpg"), testing::photoLike(80, 60));
        auto window = MakeWindow();
        window->resize(900, 700);
        window->show();
        QVERIFY(ShowFolder(*window, folder.path()));
        TThumbForm* thumb = window->controller<PreviewController>().thumbForm();
        moveOver(*window, "a.jpg");
        QVERIFY(thumb->isVisible());
        QCOMPARE(thumb->LastPreviewPath(), folder.file("a.jpg"));
        moveOver(*window, QString()); // empty list space
        QVERIFY(!thumb->isVisible());
        QCOMPARE(thumb->LastPreviewPath(), folder.file("a.jpg"));
    }

    void thumbLinksOffShowsNothingAndForgetsTheLastFile() {
        Folder folder({"a.jpg"});
        testing::writePictureFile(folder.file("a.jpg"), testing::photoLike(80, 60));
        auto window = MakeWindow();
        TThumbForm* thumb = window->controller<PreviewController>().thumbForm();
        window->controller<PreviewController>().ShellListView01MouseMove(folder.file("a.jpg"),
                                                                         QPoint(500, 100));
        QVERIFY(thumb->isVisible());
        window->settings().ThumbLinks = false;
        window->controller<PreviewController>().ShellListView01MouseMove(folder.file("a.jpg"),
                                                                         QPoint(500, 100));
        QVERIFY(!thumb->isVisible());
        QVERIFY(thumb->LastPreviewPath().isEmpty());
        window->settings().ThumbLinks = true;
        window->controller<PreviewController>().ShellListView01MouseMove(folder.file("a.jpg"),
                                                                         QPoint(500, 100));
        QVERIFY(thumb->isVisible()); // the same file again is shown at once
    }

    void theWatcherHidesThePreviewOutsideTheList() {
        Folder folder({"a.jpg"});
        testing::writePictureFile(folder.file("a.jpg"), testing::photoLike(80, 60));
        auto window = MakeWindow();
        window->resize(900, 700);
        window->show();
        TThumbForm* thumb = window->controller<PreviewController>().thumbForm();
        window->controller<PreviewController>().ShellListView01MouseMove(folder.file("a.jpg"),
                                                                         QPoint(500, 100));
        const QWidget* list = window->fileList();
        const QPoint corner = list->mapToGlobal(QPoint(list->width(), list->height()));
        window->controller<PreviewController>().MausUeberwachungCheck(
            corner); // the edge counts as inside
        QVERIFY(thumb->isVisible());
        window->controller<PreviewController>().MausUeberwachungCheck(corner + QPoint(1, 0));
        QVERIFY(!thumb->isVisible());
    }

    void theWatcherChecksFourTimesASecondAndEndsWithTheWindow() {
        auto window = MakeWindow();
        TMausUeberwachung* watcher = window->controller<PreviewController>().mouseWatcher();
        QVERIFY(watcher);
        QTRY_VERIFY_WITH_TIMEOUT(watcher->checks() >= 2, 2000);
        window.reset(); // must neither hang nor leave a check behind
    }

    void aNewSizeAppliesWithoutRestart_data() {
        QTest::addColumn<QString>("next");
        QTest::newRow("the same file again") << "a.jpg";
        QTest::newRow("another file") << "b.jpg";
    }
    void aNewSizeAppliesWithoutRestart() {
        QFETCH(QString, next);
        PreviewOnList on;
        QVERIFY(ShowFolder(*on.window, on.folder.path()));
        moveOver(*on.window, "a.jpg");
        QCOMPARE(on.shown(), QSize(100, 75));
        DialogAnswerer answers;
        answers.queue("OptBitBtn01", [](QWidget* dialog) {
            auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("ThumbHintGroesse"));
            field->selectAll();
            QTest::keyClicks(field, QStringLiteral("200"));
        });
        Find<QAction>(*on.window, "HMenuDateiOPT")->trigger();
        QCOMPARE(on.window->settings().ThumbHintGroesse, 200);
        moveOver(*on.window, next);
        QVERIFY(on.thumb().isVisible());
        QCOMPARE(on.shown(), QSize(200, 150));
    }

    void hiddenWhileAMenuOrDialogIsOpen_data() {
        QTest::addColumn<QString>("opener"); // an action, or the pop-up menu
        QTest::newRow("pop-up menu of the list") << "PopupMenu01";
        QTest::newRow("properties dialog") << "PM01_Eigenschaften";
        QTest::newRow("options dialog") << "HMenuDateiOPT";
    }
    void hiddenWhileAMenuOrDialogIsOpen() {
        QFETCH(QString, opener);
        PreviewOnList on;
        QVERIFY(ShowFolder(*on.window, on.folder.path()));
        on.window->fileList()->selectNames({"a.jpg"});
        moveOver(*on.window, "a.jpg");
        QVERIFY(on.thumb().isVisible());
        // What the user sees while the menu or dialog is open, also when the
        // pointer passes over another picture meanwhile.
        bool hiddenAtOpen = false, hiddenAfterMove = false;
        auto look = [&] {
            hiddenAtOpen = !on.thumb().isVisible();
            on.window->controller<PreviewController>().ShellListView01MouseMove(
                on.folder.file("b.jpg"), QPoint(500, 100));
            hiddenAfterMove = !on.thumb().isVisible();
        };
        if (opener == "PopupMenu01") {
            auto* menu = Find<QMenu>(*on.window, "PopupMenu01");
            menu->popup(on.window->mapToGlobal(QPoint(400, 200)));
            QVERIFY(QTest::qWaitForWindowExposed(menu));
            look();
            menu->close();
        } else {
            DialogAnswerer answers;
            answers.queue(opener == "HMenuDateiOPT" ? "OptBitBtn02" : "Close",
                          [&](QWidget*) { look(); });
            Find<QAction>(*on.window, opener)->trigger();
            QCOMPARE(answers.shown().size(), 1);
        }
        QVERIFY(hiddenAtOpen);
        QVERIFY(hiddenAfterMove);
        // Closed again, the picture under the pointer shows once more.
        moveOver(*on.window, "a.jpg");
        QVERIFY(on.thumb().isVisible());
    }
};

KELVASTO_REGISTER_TEST(TestPreviewWindow)
#include "test_preview_window.moc"
