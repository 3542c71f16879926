// The pop-up preview window on its own: sizes, the files it shows, its
// placement rule, its window kind and its opacity.

#include "common/picture_files_for_tests.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "preview/preview_rules.h"
#include "preview/thumb_form.h"

#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>

class TestThumbForm : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/thumb-XXXXXX")};
    QString path(const QString& name) const { return m_dir.path() + QLatin1Char('/') + name; }
    static QSize shownSize(TThumbForm& form) {
        return form.findChild<QLabel*>(QStringLiteral("HintImage"))->pixmap().size();
    }

private slots:
    void previewSizes_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("shown");
        QTest::newRow("wide JPEG") << "wide.jpg" << QSize(400, 300) << QSize(100, 75);
        QTest::newRow("tall JPEG") << "tall.jpg" << QSize(300, 400) << QSize(75, 100);
        QTest::newRow("square JPEG") << "square.jpg" << QSize(250, 250) << QSize(100, 100);
        QTest::newRow("small BMP enlarged") << "small.bmp" << QSize(40, 30) << QSize(100, 75);
        QTest::newRow("truncated, not rounded") << "t.jpg" << QSize(300, 200) << QSize(100, 66);
    }
    void previewSizes() {
        QFETCH(QString, name);
        QFETCH(QSize, picture);
        QFETCH(QSize, shown);
        testing::writePictureFile(path(name),
                                  testing::photoLike(picture.width(), picture.height()));
        AppSettings settings;
        TThumbForm form(settings);
        form.ShowPreview(path(name));
        QVERIFY(form.isVisible());
        QCOMPARE(shownSize(form), shown);
        QCOMPARE(form.size(), shown + QSize(4, 4)); // the 2-pixel frame all round
    }

    void whichNamesArePreviewed_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("shown");
        QTest::newRow("PHOTO.JPG") << "PHOTO.JPG" << true;
        QTest::newRow("x.Jpeg") << "x.Jpeg" << true;
        QTest::newRow("y.BMP") << "y.BMP" << true;
        QTest::newRow("x.gif") << "x.gif" << false;
        QTest::newRow("x.jpe") << "x.jpe" << false;
        QTest::newRow("no extension") << "jpg" << false;
        QTest::newRow("a dot in the folder only") << "dir.jpg/file" << false;
    }
    void whichNamesArePreviewed() {
        QFETCH(QString, name);
        QFETCH(bool, shown);
        QVERIFY(QDir().mkpath(QFileInfo(path(name)).path()));
        testing::writePictureFile(path("first.jpg"), testing::photoLike(20, 20));
        // Every file is a real picture (a bitmap by a ".bmp" name, else a
        // JPEG): only the name decides.
        testing::writePictureFile(path(name), testing::photoLike(20, 20));
        AppSettings settings;
        TThumbForm form(settings);
        form.ShowPreview(path("first.jpg"));
        QVERIFY(form.isVisible());
        form.ShowPreview(path(name));
        QCOMPARE(form.isVisible(), shown);
        QCOMPARE(form.LastPreviewPath(), path(name));
    }

    void theSamePathIsNotLoadedAgain() {
        testing::writePictureFile(path("a.jpg"), testing::photoLike(40, 20));
        AppSettings settings;
        TThumbForm form(settings);
        form.ShowPreview(path("a.jpg"));
        form.HintImageMouseMove(); // onto the pop-up: it gets out of the way
        QVERIFY(!form.isVisible());
        form.ShowPreview(path("a.jpg")); // back onto the same file
        QVERIFY(!form.isVisible());
        form.clearLastPreviewPath();
        form.ShowPreview(path("a.jpg"));
        QVERIFY(form.isVisible());
    }

    void anUnreadableFileShowsNothingNew() {
        testing::writePictureFile(path("good.jpg"), testing::photoLike(40, 20));
        testing::writeFile(path("bad.bmp"), "BM no bitmap");
        testing::writeFile(path("bad.jpg"), "no JPEG");
        AppSettings settings;
        TThumbForm form(settings);
        form.ShowPreview(path("good.jpg"));
        form.ShowPreview(path("bad.bmp"));
        QVERIFY(form.isVisible()); // left as it was
        QCOMPARE(shownSize(form), QSize(100, 50));
        form.ShowPreview(path("bad.jpg"));
        QVERIFY(!form.isVisible());
    }

    void placement_data() {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QPoint>("expected");
        const QSize popup(104, 79);
        QTest::newRow("near the left edge") << QPoint(50, 100) << QPoint(80, 100);
        QTest::newRow("left of the pointer") << QPoint(500, 100) << QPoint(366, 100);
        QTest::newRow("near the bottom") << QPoint(500, 550) << QPoint(366, 491);
        QTest::newRow("room below") << QPoint(500, 400) << QPoint(366, 400);
        QTest::newRow("just fits") << QPoint(134, 491) << QPoint(0, 491);
    }
    void placement() {
        QFETCH(QPoint, pointer);
        QFETCH(QPoint, expected);
        QCOMPARE(PreviewPlacement(pointer, QSize(104, 79), 0, 600), expected);
    }

    void aWindowThatNeverTakesTheFocus() {
        AppSettings settings;
        settings.ThumbTransparenz = 0;
        TThumbForm form(settings);
        const Qt::WindowFlags flags = form.windowFlags();
        QVERIFY(flags & Qt::FramelessWindowHint);
        QVERIFY(flags & Qt::WindowStaysOnTopHint);
        QVERIFY(flags & Qt::WindowDoesNotAcceptFocus);
        QVERIFY(form.testAttribute(Qt::WA_ShowWithoutActivating));
        QCOMPARE(form.windowOpacity(), 0.0);
        testing::writePictureFile(path("a.jpg"), testing::photoLike(40, 20));
        form.ShowPreview(path("a.jpg"));
        QVERIFY(form.isVisible()); // invisible, yet in its place
        settings.ThumbTransparenz = 255;
        form.applyTransparency();
        QCOMPARE(form.windowOpacity(), 1.0);
    }

    void aChangedSizeAppliesToTheVeryNextPreview() {
        AppSettings settings;
        TThumbForm form(settings);
        testing::writePictureFile(path("a.jpg"), testing::photoLike(400, 300));
        form.ShowPreview(path("a.jpg"));
        QCOMPARE(shownSize(form), QSize(100, 75));
        settings.ThumbHintGroesse = 200;
        form.applySettings(); // the options' OK
        QVERIFY(!form.isVisible());
        form.ShowPreview(path("a.jpg")); // the same file is made anew
        QCOMPARE(shownSize(form), QSize(200, 150));
    }
};

KELVASTO_REGISTER_TEST(TestThumbForm)
#include "test_thumb_form.moc"
