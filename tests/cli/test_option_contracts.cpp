// The declared number options against everything that states them: the
// command line takes exactly their limits, every --help names them with no
// placeholder left, and the help pages and the manual page, written by
// hand, state the same limits and defaults.

#include "cli/batch_job.h"
#include "cli/cli_test_case.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "jobs/index/index_number_options.h"
#include "jobs/similar/find_similar.h"
#include "settings/app_settings.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

using cli::runTool;
using cli::ToolRun;

namespace {

QString sourceFile(const QString& relative) {
    QFile file(QStringLiteral(KELVASTO_SOURCE_DIR "/") + relative);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// How a job takes each option: the arguments before its value and the
// value's form.
struct OptionUse {
    const NumberOption* option;
    QStringList before;
    QString value; // "%1" is the number
};

const OptionUse kOptionUses[] = {
    {&kIndexPerSheet, {"index", "--stem", "x", "--per-sheet"}, "%1"},
    {&kIndexPerRow, {"index", "--stem", "x", "--per-row"}, "%1"},
    {&kIndexSide, {"index", "--stem", "x", "--size"}, "%1"},
    {&kSeriesFirstChars, {"index", "--series"}, "first-chars:%1"},
    {&kThumbnailSide, {"thumbs", "--size"}, "%1"},
    {&kSimilarityThreshold, {"similar", "--threshold"}, "%1"},
};

} // namespace

class TestOptionContracts : public CliTestCase {
    Q_OBJECT

private slots:
    void init() { QVERIFY(openSandbox(QStringLiteral("contracts"))); }
    void cleanup() { closeSandbox(); }

    // Inside the limits the tool goes on to the PATH (missing here, exit 1);
    // outside them it stops with a usage error that names the limits.
    void commandLineTakesTheDeclaredLimits_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QString>("limits");
        for (const OptionUse& use : kOptionUses) {
            const NumberOption& option = *use.option;
            const QString limits = QStringLiteral("%1..%2").arg(option.minimum).arg(option.maximum);
            for (const auto& [value, taken] :
                 {std::pair{option.minimum - 1, false}, std::pair{option.minimum, true},
                  std::pair{option.maximum, true}, std::pair{option.maximum + 1, false}})
                QTest::addRow("%s %s %d", qPrintable(use.before.first()), option.name, value)
                    << use.before + QStringList{use.value.arg(value)} << taken << limits;
        }
    }
    void commandLineTakesTheDeclaredLimits() {
        QFETCH(QStringList, args);
        QFETCH(bool, taken);
        QFETCH(QString, limits);
        const ToolRun run = runTool(args + QStringList{path("missing.jpg")});
        const QString missing = QStringLiteral("missing.jpg does not exist.");
        if (taken) {
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains(missing), qPrintable(run.err));
        } else {
            QCOMPARE(run.exitCode, 2);
            QVERIFY2(!run.err.contains(missing), qPrintable(run.err));
            // "from 1 to 255" or "N 1..255": the limits, never a placeholder.
            const QStringList ends = limits.split(QStringLiteral(".."));
            QVERIFY2(run.err.contains(QStringLiteral("from %1 to %2").arg(ends[0], ends[1])) ||
                         run.err.contains(limits),
                     qPrintable(run.err));
            QVERIFY2(!run.err.contains(QLatin1Char('{')), qPrintable(run.err));
        }
    }

    // A placeholder misspelt or a declaration not handed over would show
    // as "{--size}" in the help.
    void everyHelpHasItsNumbers_data() {
        QTest::addColumn<QString>("job");
        QTest::addColumn<bool>("english");
        for (const BatchJob* job : BatchJobs())
            for (const bool english : {false, true})
                QTest::addRow("%s %s", job->name, english ? "en" : "de")
                    << QString::fromLatin1(job->name) << english;
    }
    void everyHelpHasItsNumbers() {
        QFETCH(QString, job);
        QFETCH(bool, english);
        const std::int32_t before = LanguageOffset();
        SetLanguageOffset(english ? 10000 : 0);
        const QString help = FindBatchJob(job)->help();
        SetLanguageOffset(before);
        QVERIFY2(!help.contains(QLatin1Char('{')), qPrintable(help));
        for (const OptionUse& use : kOptionUses)
            if (use.before.first() == job && use.option->helpKey)
                QVERIFY2(
                    help.contains(QStringLiteral("--%1 %2").arg(
                        QLatin1String(use.option->name), QLatin1String(use.option->valueName))),
                    qPrintable(help));
    }

    // Written by hand, so checked: "1 to 32000, default 42" in English,
    // "1 bis 32000, Vorgabe 42" in German, the default in the same phrase.
    void pagesStateTheDeclaredNumbers_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("fallback"); // -1: the page names no default
        const auto pages = [](const char* page, const NumberOption& option, bool manual) {
            for (const char* language : {"de", "en"})
                QTest::addRow("%s %s %s", page, language, option.control)
                    << QStringLiteral("resources/help/%1/%2.html").arg(language, page)
                    << option.minimum << option.maximum << option.fallback;
            // The command line takes N of first-chars:N without a default.
            if (manual)
                QTest::addRow("manual %s", option.control)
                    << QStringLiteral("resources/desktop/kelvasto-batch.1") << option.minimum
                    << option.maximum << (option.helpKey ? option.fallback : -1);
        };
        for (const NumberOption* option :
             {&kIndexPerSheet, &kIndexPerRow, &kIndexSide, &kSeriesFirstChars})
            pages("indexbilder", *option, true);
        pages("thumbnails", kThumbnailSide, true);
        pages("aehnliche-bilder", kSimilarityThreshold, true);
        pages("optionen", kPopUpSize, false);
    }
    void pagesStateTheDeclaredNumbers() {
        QFETCH(QString, file);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, fallback);
        const QString text = sourceFile(file);
        QVERIFY2(!text.isEmpty(), qPrintable(file));
        const bool german = file.contains(QLatin1String("/de/"));
        QString pattern = QStringLiteral("\\b%1 %2 %3\\b")
                              .arg(minimum)
                              .arg(german ? QStringLiteral("bis") : QStringLiteral("to"))
                              .arg(maximum);
        if (fallback >= 0)
            pattern += QStringLiteral("[^.;]{0,40}?\\b%1 %2\\b")
                           .arg(german ? QStringLiteral("Vorgabe") : QStringLiteral("default"))
                           .arg(fallback);
        QVERIFY2(text.contains(QRegularExpression(pattern)),
                 qPrintable(file + QStringLiteral(" lacks ") + pattern));
    }
};

KELVASTO_REGISTER_TEST(TestOptionContracts)
#include "test_option_contracts.moc"
