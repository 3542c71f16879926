// A screen reader names every control of the window and of its dialogs, in
// both languages: a control without a name is read as "button" or "edit".

#include "common/main_window_fixture.h"

#include "common/dialog_answerer.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "ui/language/accessible_names.h"

#include <QAccessible>
#include <QAction>
#include <QTest>

using namespace mwtest;

namespace {

QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(QAccessible::Name).trimmed() : QString();
}

// The controls of `root` a screen reader reaches but cannot name.
QStringList Unnamed(QWidget& root) {
    QStringList unnamed;
    for (QWidget* widget : root.findChildren<QWidget*>())
        if (IsNamedControl(widget) && !widget->isWindow() && AccessibleName(widget).isEmpty())
            unnamed << widget->objectName() + QLatin1Char('(') +
                           QString::fromLatin1(widget->metaObject()->className()) +
                           QLatin1Char(')');
    return unnamed;
}

} // namespace

class TestAccessibleNames : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }
    void cleanup() { SetLanguageOffset(0); }

    void everyControlOfTheWindowIsNamed_data() {
        QTest::addColumn<int>("offset");
        QTest::newRow("deutsch") << 0;
        QTest::newRow("english") << 10000;
    }
    void everyControlOfTheWindowIsNamed() {
        QFETCH(int, offset);
        auto window = MakeWindow();
        window->show();
        SwitchLanguage(*window, offset);
        const QStringList unnamed = Unnamed(*window);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    }

    // Fields of one group read by their own captions, not all by the
    // group's title.
    void fieldsOfAGroupHaveDistinctNames() {
        auto window = MakeWindow();
        const QStringList names{AccessibleName(Find<QWidget>(*window, "IdxStammname")),
                                AccessibleName(Find<QWidget>(*window, "IdxPraefix")),
                                AccessibleName(Find<QWidget>(*window, "IdxPostfix"))};
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), 3);
    }

    void everyControlOfADialogIsNamed_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("offset");
        for (const int offset : {0, 10000}) {
            QTest::addRow("options %d", offset) << "HMenuDateiOPT"
                                                << "OptBitBtn02" << offset;
            QTest::addRow("language %d", offset) << "HMenu_Sprache"
                                                 << "BitBtn2" << offset;
            QTest::addRow("about %d", offset) << "HMenu_InfoF"
                                              << "BitBtn1" << offset;
        }
    }
    void everyControlOfADialogIsNamed() {
        QFETCH(QString, entry);
        QFETCH(QString, answer);
        QFETCH(int, offset);
        auto window = MakeWindow();
        SwitchLanguage(*window, offset);
        QStringList unnamed;
        QString title;
        DialogAnswerer answers;
        answers.queue(answer, [&](QWidget* dialog) {
            unnamed = Unnamed(*dialog);
            title = dialog->windowTitle();
        });
        Find<QAction>(*window, entry)->trigger();
        QCOMPARE(answers.shown().size(), 1);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
        QVERIFY(!title.trimmed().isEmpty());
    }
};

KELVASTO_REGISTER_TEST(TestAccessibleNames)
#include "test_accessible_names.moc"
