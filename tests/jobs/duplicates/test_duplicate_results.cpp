#include "common/file_fixtures.h"
#include "common/recording_job_host.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "jobs/duplicates/duplicate_results.h"

#include <QTest>

class TestDuplicateResults : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(10000); }
    void cleanup() { SetLanguageOffset(0); }

    void marking_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QList<qsizetype>>("marked");
        QTest::newRow("empty list") << QStringList{} << QList<qsizetype>{};
        QTest::newRow("one group") << QStringList{"a", "b", "c", ""} << QList<qsizetype>{1, 2};
        QTest::newRow("two groups")
            << QStringList{"a", "b", "", "c", "d", "e", ""} << QList<qsizetype>{1, 4, 5};
        QTest::newRow("group cut off by a stop")
            << QStringList{"a", "b", "", "c", "d"} << QList<qsizetype>{1, 4};
        QTest::newRow("a lone line") << QStringList{"a", ""} << QList<qsizetype>{};
    }
    void marking() {
        QFETCH(QStringList, lines);
        QFETCH(QList<qsizetype>, marked);
        QCOMPARE(DuplicateLinesToMark(lines), marked);
    }

    void deletionQuestion_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("none marked")
            << 0 << int(DialogResult::OK) << "There are no marked files yet !" << false;
        QTest::newRow("one, yes") << 1 << int(DialogResult::Yes)
                                  << "Do you really want to delete the file ?" << true;
        QTest::newRow("two, no") << 2 << int(DialogResult::No)
                                 << "Do you really want to delete the files ?" << false;
    }
    void deletionQuestion() {
        QFETCH(int, count);
        QFETCH(int, answer);
        QFETCH(QString, text);
        QFETCH(bool, confirmed);
        RecordingJobHost host;
        host.queueAnswer(answer);
        QCOMPARE(ConfirmDeletingMarked(host, count), confirmed);
        QCOMPARE(host.messages().size(), 1);
        QCOMPARE(host.messages()[0].text, text);
        QCOMPARE(host.messages()[0].kind,
                 count == 0 ? MessageKind::Information : MessageKind::Confirmation);
    }

    void trashReportsWhatItCouldNotTrash() {
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", "x"));
        QVERIFY(tree.file("b.jpg", "y"));
        RecordingJobHost host;
        const QStringList trashed = TrashFiles(
            host, {tree.path("a.jpg"), QString(), tree.path("gone.jpg"), tree.path("b.jpg")});
        QCOMPARE(trashed, (QStringList{tree.path("a.jpg"), tree.path("b.jpg")}));
        QCOMPARE(host.skippedPaths(), QStringList{tree.path("gone.jpg")});
        QCOMPARE(host.reportDepth(), 0);
        QVERIFY(!tree.exists("a.jpg") && !tree.exists("b.jpg"));
    }
};

KELVASTO_REGISTER_TEST(TestDuplicateResults)
#include "test_duplicate_results.moc"
