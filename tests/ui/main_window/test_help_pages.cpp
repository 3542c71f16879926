// The help pages: one per function in both languages, each telling what it
// does, how to use it, what it changes on disk and how to undo it, every link
// leading to a page that exists; the help opens from its menu entry and its
// toolbar button, and a topic without a page shows the contents.

#include "common/main_window_fixture.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "ui/dialogs/help_window.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>

using namespace mwtest;

namespace {

QString Page(const QString& language, const QString& name) {
    QFile file(QStringLiteral(":/help/%1/%2").arg(language, name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList Links(const QString& html) {
    QStringList links;
    static const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
    for (const auto& match : href.globalMatch(html))
        links << match.captured(1);
    return links;
}

QString Title(const QString& html) {
    static const QRegularExpression title(QStringLiteral("<title>(.*)</title>"));
    return title.match(html).captured(1);
}

const QStringList kSections[] = {
    {"Was es tut", "So gehen Sie vor", "Was auf der Festplatte geändert wird", "Rückgängig machen"},
    {"What it does", "How to use it", "What it changes on disk", "How to undo it"}};

} // namespace

class TestHelpPages : public QObject {
    Q_OBJECT
private slots:
    void bothLanguagesHaveTheSamePages() {
        const QStringList de = QDir(":/help/de").entryList(QDir::Files, QDir::Name);
        const QStringList en = QDir(":/help/en").entryList(QDir::Files, QDir::Name);
        QCOMPARE(de, en);
        QVERIFY(de.size() >= 15);
        // Every page is reachable from the contents.
        for (const QString& language : {QStringLiteral("de"), QStringLiteral("en")}) {
            const QStringList linked = Links(Page(language, "inhalt.html"));
            for (const QString& page : de)
                if (page != QLatin1String("inhalt.html"))
                    QVERIFY2(linked.contains(page), qPrintable(language + "/" + page));
        }
    }

    void everyPageIsCompleteInItsLanguage_data() {
        QTest::addColumn<QString>("page");
        for (const QString& page : QDir(":/help/de").entryList(QDir::Files, QDir::Name))
            if (page != QLatin1String("inhalt.html"))
                QTest::newRow(qPrintable(page)) << page;
    }
    void everyPageIsCompleteInItsLanguage() {
        QFETCH(QString, page);
        const QString de = Page("de", page);
        const QString en = Page("en", page);
        for (int language = 0; language < 2; ++language) {
            const QString& html = language == 0 ? de : en;
            for (const QString& section : kSections[language])
                QVERIFY2(html.contains("<h2>" + section + "</h2>"), qPrintable(section));
            // Every link leads to a page of the same language.
            for (const QString& link : Links(html))
                QVERIFY2(!Page(language == 0 ? "de" : "en", link).isEmpty(), qPrintable(link));
        }
        QVERIFY2(Title(de) != Title(en), "the English page is translated");
    }

    void topics_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QString>("heading");
        QTest::newRow("page, deutsch") << 0 << "optionen"
                                       << "Optionen";
        QTest::newRow("page, english") << 10000 << "deinstallieren"
                                       << "Uninstall program";
        QTest::newRow("missing page") << 10000 << "gibtsnicht"
                                      << "Kelvasto – Contents";
        QTest::newRow("no walking out") << 0 << "../en/inhalt"
                                        << "Kelvasto – Inhalt";
        QTest::newRow("empty topic") << 0 << ""
                                     << "Kelvasto – Inhalt";
    }
    void topics() {
        QFETCH(int, offset);
        QFETCH(QString, topic);
        QFETCH(QString, heading);
        SetLanguageOffset(offset);
        HelpWindow help;
        help.showPage(topic);
        SetLanguageOffset(0);
        QVERIFY(help.browser()->toPlainText().startsWith(heading));
        QVERIFY(help.windowTitle().endsWith(heading.section(QStringLiteral("– "), -1)));
    }

    void opensFromTheToolbarAndFollowsTheLanguage() {
        auto window = MakeWindow();
        SwitchLanguage(*window, 10000);
        Find<QAction>(*window, "TB01Hilfe")->trigger();
        auto* help = window->findChild<HelpWindow*>();
        QVERIFY(help && help->isVisible());
        QVERIFY(help->browser()->toPlainText().startsWith("Kelvasto – Contents"));
        SwitchLanguage(*window, 0);
        Find<QAction>(*window, "TB01Hilfe")->trigger();
        QVERIFY(help->browser()->toPlainText().startsWith("Kelvasto – Inhalt"));
    }
};

KELVASTO_REGISTER_TEST(TestHelpPages)
#include "test_help_pages.moc"
