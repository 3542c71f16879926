#include "common/test_registry.h"

#include "jobs/index/index_series.h"

#include <QTest>

namespace {

// "name|file,file;name|file" for the series found, for one-line expectations.
QString describe(const QList<FileSeries>& all) {
    QStringList parts;
    for (const FileSeries& s : all) {
        QStringList names;
        for (const QString& f : s.files)
            names << f.mid(f.lastIndexOf(QLatin1Char('/')) + 1);
        parts << s.name + QLatin1Char('|') + names.join(QLatin1Char(','));
    }
    return parts.join(QLatin1Char(';'));
}

} // namespace

class TestIndexSeries : public QObject {
    Q_OBJECT
private slots:
    void seriesAreFound_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("rule");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("expected");
        const int letters = int(SeriesRule::AllLetters), first = int(SeriesRule::FirstChars);
        QTest::newRow("Urlaub01..03 and Zoo1")
            << QStringList{"/p/Urlaub01.jpg", "/p/Urlaub02.jpg", "/p/Urlaub03.jpg", "/p/Zoo1.jpg"}
            << letters << 5 << "Urlaub|Urlaub01.jpg,Urlaub02.jpg,Urlaub03.jpg";
        QTest::newRow("Zoo1 and Zoo2 after Urlaub")
            << QStringList{"/p/Urlaub01.jpg", "/p/Urlaub02.jpg", "/p/Zoo1.jpg", "/p/Zoo2.jpg"}
            << letters << 5 << "Urlaub|Urlaub01.jpg,Urlaub02.jpg;Zoo|Zoo1.jpg,Zoo2.jpg";
        QTest::newRow("extension case splits") << QStringList{"/p/Urlaub1.jpg", "/p/Urlaub2.JPG"}
                                               << letters << 5 << "Urlaub|Urlaub1.jpg";
        QTest::newRow("letter case splits")
            << QStringList{"/p/bild1.jpg", "/p/Bild2.jpg", "/p/bild3.jpg", "/p/bild4.jpg"}
            << letters << 5 << "bild|bild1.jpg;Bild|Bild2.jpg;bild|bild3.jpg,bild4.jpg";
        QTest::newRow("digits only passed over")
            << QStringList{"/p/0815.jpg", "/p/a1.jpg", "/p/a2.jpg"} << letters << 5
            << "a|a1.jpg,a2.jpg";
        QTest::newRow("digits only at the end ends the run")
            << QStringList{"/p/a1.jpg", "/p/a2.jpg", "/p/0815.jpg", "/p/4711.jpg"} << letters << 5
            << "a|a1.jpg,a2.jpg";
        QTest::newRow("other folder is another series")
            << QStringList{"/p/a/x1.jpg", "/p/a/x2.jpg", "/p/b/x1.jpg", "/p/b/x2.jpg"} << letters
            << 5 << "x|x1.jpg,x2.jpg;x|x1.jpg,x2.jpg";
        QTest::newRow("first five characters")
            << QStringList{"/p/Reise_a.jpg", "/p/Reise_b.jpg", "/p/Rom.jpg"} << first << 5
            << "Reise|Reise_a.jpg,Reise_b.jpg";
        QTest::newRow("short name first is passed over")
            << QStringList{"/p/Rom.jpg", "/p/Reise_a.jpg", "/p/Reise_b.jpg"} << first << 5
            << "Reise|Reise_a.jpg,Reise_b.jpg";
        QTest::newRow("only the first characters count")
            << QStringList{"/p/Reisen.jpg", "/p/Reise_b.jpg", "/p/Reise_a.jpg"} << first << 5
            << "Reise|Reise_a.jpg,Reise_b.jpg,Reisen.jpg";
        QTest::newRow("letter case counts in the first characters")
            << QStringList{"/p/reise_a.jpg", "/p/Reise_b.jpg", "/p/Reise_c.jpg"} << first << 5
            << "reise|reise_a.jpg;Reise|Reise_b.jpg,Reise_c.jpg";
        QTest::newRow("last single file is not examined")
            << QStringList{"/p/a1.jpg", "/p/a2.jpg", "/p/b1.jpg"} << letters << 5
            << "a|a1.jpg,a2.jpg";
        QTest::newRow("one file") << QStringList{"/p/a1.jpg"} << letters << 5 << "a|a1.jpg";
        QTest::newRow("dotted name keeps its inner dot")
            << QStringList{"/p/v.2020.1.jpg", "/p/v.2020.2.jpg"} << letters << 5
            << "v..|v.2020.1.jpg,v.2020.2.jpg";
    }
    void seriesAreFound() {
        QFETCH(QStringList, files);
        QFETCH(int, rule);
        QFETCH(int, n);
        QFETCH(QString, expected);
        const SeriesOptions options{SeriesRule(rule), n};
        QCOMPARE(describe(FindSeries(SortedForSeries(files), options)), expected);
    }

    void seriesEndCountsTheFilesHandled() {
        const QStringList files{"/p/0815.jpg", "/p/a1.jpg", "/p/a2.jpg", "/p/b1.jpg", "/p/b2.jpg"};
        const QList<FileSeries> all = FindSeries(files, {SeriesRule::AllLetters, 5});
        QCOMPARE(all.size(), 2);
        QCOMPARE(all[0].end, 3);
        QCOMPARE(all[1].end, 5);
    }

    void sortingIgnoresCaseWithBytesBreakingTies() {
        const QStringList sorted =
            SortedForSeries({"/p/b.jpg", "/p/A.jpg", "/p/a.jpg", "/P/c.jpg", "/p/B.jpg"});
        QCOMPARE(sorted, (QStringList{"/p/A.jpg", "/p/a.jpg", "/p/B.jpg", "/p/b.jpg", "/P/c.jpg"}));
    }
};

KELVASTO_REGISTER_TEST(TestIndexSeries)
#include "test_index_series.moc"
