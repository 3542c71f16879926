// The pop-up preview from the file list: the list's mouse moves, "ThumbLinks",
// and the mouse watcher that hides it once the pointer has left the list.

#include "common/main_window_fixture.h"

#include "common/picture_files_for_tests.h"
#include "common/test_registry.h"
#include "preview/maus_ueberwachung.h"
#include "preview/thumb_form.h"

#include <QAbstractItemView>
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
        TThumbForm* thumb = window->thumbForm();
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
        TThumbForm* thumb = window->thumbForm();
        window->ShellListView01MouseMove(folder.file("a.jpg"), QPoint(500, 100));
        QVERIFY(thumb->isVisible());
        window->settings().ThumbLinks = false;
        window->ShellListView01MouseMove(folder.file("a.jpg"), QPoint(500, 100));
        QVERIFY(!thumb->isVisible());
        QVERIFY(thumb->LastPreviewPath().isEmpty());
        window->settings().ThumbLinks = true;
        window->ShellListView01MouseMove(folder.file("a.jpg"), QPoint(500, 100));
        QVERIFY(thumb->isVisible()); // the same file again is shown at once
    }

    void theWatcherHidesThePreviewOutsideTheList() {
        Folder folder({"a.jpg"});
        testing::writePictureFile(folder.file("a.jpg"), testing::photoLike(80, 60));
        auto window = MakeWindow();
        window->resize(900, 700);
        window->show();
        TThumbForm* thumb = window->thumbForm();
        window->ShellListView01MouseMove(folder.file("a.jpg"), QPoint(500, 100));
        const QWidget* list = window->fileList();
        const QPoint corner = list->mapToGlobal(QPoint(list->width(), list->height()));
        window->MausUeberwachungCheck(corner); // the edge counts as inside
        QVERIFY(thumb->isVisible());
        window->MausUeberwachungCheck(corner + QPoint(1, 0));
        QVERIFY(!thumb->isVisible());
    }

    void theWatcherChecksFourTimesASecondAndEndsWithTheWindow() {
        auto window = MakeWindow();
        TMausUeberwachung* watcher = window->mouseWatcher();
        QVERIFY(watcher);
        QTRY_VERIFY_WITH_TIMEOUT(watcher->checks() >= 2, 2000);
        window.reset(); // must neither hang nor leave a check behind
    }
};

KELVASTO_REGISTER_TEST(TestPreviewWindow)
#include "test_preview_window.moc"
