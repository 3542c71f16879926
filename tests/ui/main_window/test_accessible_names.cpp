// A screen reader names every control of the window and of its dialogs, in
// both languages: a control without a name is read as "button" or "edit".

#include "common/main_window_fixture.h"

#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "ui/dialogs/about_box.h"
#include "ui/dialogs/options_dialog.h"
#include "ui/language/accessible_names.h"

#include <QAccessible>
#include <QDialog>
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
        QTest::addColumn<bool>("about"); // else the options
        QTest::addColumn<int>("offset");
        for (const int offset : {0, 10000}) {
            QTest::addRow("options %d", offset) << false << offset;
            QTest::addRow("about %d", offset) << true << offset;
        }
    }
    void everyControlOfADialogIsNamed() {
        QFETCH(bool, about);
        QFETCH(int, offset);
        auto window = MakeWindow();
        SwitchLanguage(*window, offset);
        std::unique_ptr<QDialog> dialog;
        if (about)
            dialog = std::make_unique<TInfoF>(window.get());
        else
            dialog = std::make_unique<TFormOptionen>(*window);
        dialog->show();
        const QStringList unnamed = Unnamed(*dialog);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
        // The about box shows no title bar: its title is what is announced.
        QVERIFY(!dialog->windowTitle().trimmed().isEmpty());
        dialog->close();
    }
};

KELVASTO_REGISTER_TEST(TestAccessibleNames)
#include "test_accessible_names.moc"
