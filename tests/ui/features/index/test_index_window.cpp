// Index pictures and thumbnails driven through the window: the buttons and
// their menu twins, the start notices, the naming fields and the destination.

#include "common/main_window_fixture.h"
#include "jobs/framework/job_controls.h"

#include "common/dialog_answerer.h"
#include "common/jpeg_builder.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "imaging/picture_files.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace mwtest;

namespace {

// A fresh folder of small photographs in the sandbox.
struct Photos {
    QString root;
    Photos(const QString& name, const QStringList& files)
        : root(testing::homeFolder() + QLatin1Char('/') + name) {
        QDir(root).removeRecursively();
        for (const QString& file : files)
            testing::writeFile(root + QLatin1Char('/') + file,
                               JpegBuilder::picture(640, 480, 40, 160, 220));
    }
    bool has(const QString& file) const { return QFile::exists(root + QLatin1Char('/') + file); }
    QSize size(const QString& file) const {
        const Picture p = LoadJpegFile(root + QLatin1Char('/') + file);
        return {p.width(), p.height()};
    }
};

void useTree(THauptForm& window, const Photos& photos) {
    QVERIFY(ShowFolder(window, photos.root));
    Find<QTabWidget>(window, "HauptPageControl01")->setCurrentIndex(1);
    Find<QCheckBox>(window, "IdxRekursiv")->setChecked(true);
}

// The window is usable again after a job: unlocked, normal cursor, logo page.
void checkGivenBack(THauptForm& window) {
    QVERIFY(!window.jobRunning());
    QVERIFY(Find<QTabWidget>(window, "HauptPageControl01")->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(Find<QStackedWidget>(window, "NBStatus01")->currentIndex(), int(kLogoPage));
}

} // namespace

class TestIndexWindow : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    void indexButtonWritesSheetsUnderTheStem() {
        Photos photos("stem", {"a.jpg", "b.jpg", "c.jpeg"});
        auto window = MakeWindow();
        useTree(*window, photos);
        Find<QSpinBox>(*window, "IdxEdit01")->setValue(2);
        Find<QSpinBox>(*window, "IdxEdit02")->setValue(2);
        Find<QLineEdit>(*window, "IdxStammname")->setText("urlaub");
        DialogAnswerer answers;
        Find<QPushButton>(*window, "IdxBitBtn01")->click();
        QVERIFY(answers.shown().isEmpty()); // no closing message
        QCOMPARE(photos.size("urlaub_1.jpeg"), QSize(220, 110));
        QCOMPARE(photos.size("urlaub_2.jpeg"), QSize(220, 110));
        QCOMPARE(Find<QLabel>(*window, kFunctionsControls.progress.total)->text(), "3");
        checkGivenBack(*window);
    }

    void menuEntriesStartTheSameJobs_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("result");
        QTest::newRow("main menu, index") << "HMenu_IndexBilder"
                                          << "urlaub_1.jpeg";
        QTest::newRow("pop-up, index") << "PM01_IndexBilder"
                                       << "urlaub_1.jpeg";
        QTest::newRow("main menu, thumbnails") << "HMenu_Thumbnails"
                                               << "Bild_thumb.jpg";
        QTest::newRow("pop-up, thumbnails") << "PM01_Thumbnails"
                                            << "Bild_thumb.jpg";
    }
    void menuEntriesStartTheSameJobs() {
        QFETCH(QString, entry);
        QFETCH(QString, result);
        Photos photos("menu", {"Bild.jpg"});
        auto window = MakeWindow();
        useTree(*window, photos);
        Find<QLineEdit>(*window, "IdxStammname")->setText("urlaub");
        DialogAnswerer answers;
        Find<QAction>(*window, entry)->trigger();
        QVERIFY(photos.has(result));
        if (result.contains("thumb"))
            QCOMPARE(photos.size(result), QSize(100, 75));
        QVERIFY(answers.shown().isEmpty());
        checkGivenBack(*window);
    }

    void startNotices_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("setFolder");
        QTest::addColumn<bool>("recursive");
        QTest::addColumn<int>("message");
        QTest::newRow("index without destination") << "IdxBitBtn01" << true << true << 9003;
        QTest::newRow("thumbs without destination") << "ThumbBitBtn01" << true << true << 9003;
        QTest::newRow("thumbs without prefix and postfix")
            << "ThumbBitBtn01" << false << true << 9002;
        QTest::newRow("index, nothing selected") << "IdxBitBtn01" << false << false << 9001;
    }
    void startNotices() {
        QFETCH(QString, button);
        QFETCH(bool, setFolder);
        QFETCH(bool, recursive);
        QFETCH(int, message);
        Photos photos("notices", {"a.jpg"});
        auto window = MakeWindow();
        useTree(*window, photos);
        Find<QCheckBox>(*window, "IdxRekursiv")->setChecked(recursive);
        Find<QRadioButton>(*window, "IdxZielRadioButton01")->setChecked(setFolder);
        if (message == 9002)
            Find<QLineEdit>(*window, "ThumbPostfix")->clear();
        DialogAnswerer answers;
        answers.queue("OK");
        Find<QPushButton>(*window, button)->click();
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).text, CatalogueText(CatalogueId(message)));
        QCOMPARE(QDir(photos.root).entryList(QDir::Files), QStringList{"a.jpg"});
        checkGivenBack(*window);
    }

    void seriesIntoTheSubFolder() {
        Photos photos("series", {"Urlaub01.jpg", "Urlaub02.jpg", "Urlaub03.jpg", "Zoo1.jpg"});
        auto window = MakeWindow();
        useTree(*window, photos);
        Find<QRadioButton>(*window, "IdxRadioButton01")->setChecked(true);
        Find<QRadioButton>(*window, "IdxZielRadioButton03")->setChecked(true);
        DialogAnswerer answers;
        Find<QPushButton>(*window, "IdxBitBtn01")->click();
        QCOMPARE(QDir(photos.root + "/Index").entryList(QDir::Files), QStringList{"Urlaub_1.jpeg"});
        QCOMPARE(photos.size("Index/Urlaub_1.jpeg"), QSize(770, 660));
        QCOMPARE(Find<QLabel>(*window, kFunctionsControls.progress.done)->text(), "3");
        checkGivenBack(*window);
    }

    // Closing the window while thumbnails are made ends the run at its next
    // file, without a message after the window has gone.
    void closingDuringThumbnailsStopsThem() {
        QStringList names;
        for (int i = 0; i < 20; ++i)
            names << QStringLiteral("p%1.jpg").arg(i);
        Photos photos("closing", names);
        auto window = MakeWindow();
        window->show();
        useTree(*window, photos);
        DialogAnswerer answers;
        QTimer::singleShot(0, window.get(), [&] { window->close(); });
        Find<QPushButton>(*window, "ThumbBitBtn01")->click();
        QVERIFY(window->closing());
        QVERIFY(QDir(photos.root).entryList({"*_thumb.jpg"}).size() <= 1);
        QVERIFY(answers.shown().isEmpty());
        QVERIFY(!window->jobRunning());
    }

    void namingFieldsPickTheirRadio_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("series");
        QTest::newRow("index prefix") << "IdxPraefix" << true;
        QTest::newRow("index postfix") << "IdxPostfix" << true;
        QTest::newRow("thumbnail prefix") << "ThumbPraefix" << true;
        QTest::newRow("thumbnail postfix") << "ThumbPostfix" << true;
        QTest::newRow("stem") << "IdxStammname" << false;
    }
    void namingFieldsPickTheirRadio() {
        QFETCH(QString, field);
        QFETCH(bool, series);
        auto window = MakeWindow();
        auto* seriesRadio = Find<QRadioButton>(*window, "IdxRadioButton01");
        auto* stemRadio = Find<QRadioButton>(*window, "IdxRadioButton02");
        auto* recognition = Find<QGroupBox>(*window, "IdxGroupBox02");
        (series ? stemRadio : seriesRadio)->setChecked(true);
        QCOMPARE(recognition->isHidden(), series);
        QTest::mouseClick(Find<QLineEdit>(*window, field), Qt::LeftButton);
        QCOMPARE(seriesRadio->isChecked(), series);
        QCOMPARE(stemRadio->isChecked(), !series);
        QCOMPARE(recognition->isHidden(), !series);
    }

    void destinationFieldOpensTheChooser() {
        const QString field = QStringLiteral("IdxZielverzeichnis");
        const QString target = testing::homeFolder() + "/chosen";
        QDir().mkpath(target);
        auto window = MakeWindow();
        auto* edit = Find<QLineEdit>(*window, field);
        edit->setText(testing::homeFolder() + "/gone/deeper");
        DialogAnswerer answers;
        answers.queueFolder(target);
        QTest::mouseClick(edit, Qt::LeftButton);
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).title, CatalogueText(CatalogueId::ChooseDirectory));
        // The chooser opened at the nearest folder that still exists.
        QCOMPARE(QDir::cleanPath(answers.shown().at(0).folder), testing::homeFolder());
        QCOMPARE(QDir::cleanPath(edit->text()), target);
    }
};

KELVASTO_REGISTER_TEST(TestIndexWindow)
#include "test_index_window.moc"
