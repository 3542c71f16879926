// The destination field's folder chooser: with the field empty it opens at
// the folder the tree shows, not collapsed at "/"; its caption-less No button
// says what it does.

#include "common/main_window_fixture.h"

#include "common/dialog_answerer.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"
#include "ui/dialogs/select_dir_dialog.h"

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

using namespace mwtest;

class TestDestinationChooser : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    void opensAtTheTreesFolderWhenEmpty_data() {
        QTest::addColumn<QString>("name");     // the destination field
        QTest::addColumn<QString>("field");    // the field's text before the click
        QTest::addColumn<QString>("button");   // answer to the chooser
        QTest::addColumn<bool>("atTree");      // opens at the tree's folder
        QTest::addColumn<QString>("expected"); // the field afterwards; "=": unchanged
        const QString defects = QStringLiteral("GrafikZielverzeichnis");
        QTest::newRow("empty field, OK without a choice") << defects << ""
                                                          << "OKButton" << true << "";
        QTest::newRow("empty field, abort") << defects << ""
                                            << "AbortButton" << true << "";
        QTest::newRow("field set, its folder wins") << defects << "home"
                                                    << "AbortButton" << false << "=";
        QTest::newRow("index pictures' field") << "IdxZielverzeichnis"
                                               << ""
                                               << "AbortButton" << true << "";
        QTest::newRow("batch functions' field") << "FktZielverzeichnis"
                                                << ""
                                                << "AbortButton" << true << "";
    }
    void opensAtTheTreesFolderWhenEmpty() {
        QFETCH(QString, name);
        QFETCH(QString, field);
        QFETCH(QString, button);
        QFETCH(bool, atTree);
        QFETCH(QString, expected);
        const QString shown = testing::homeFolder() + QStringLiteral("/chooser/deep/er");
        QDir().mkpath(shown);
        const QString fieldText = field == "home" ? testing::homeFolder() : QString();
        auto window = MakeWindow();
        window->show();
        QVERIFY(ShowFolder(*window, shown));
        auto* destination = Find<QLineEdit>(*window, name);
        destination->setText(fieldText);

        QString current, selected, noTip;
        bool inView = false;
        DialogAnswerer answers;
        answers.queue(button, [&](QWidget* dialog) {
            auto* chooser = qobject_cast<TSelectDirDlg*>(dialog);
            current = chooser->currentFolder();
            selected = chooser->selectedFolder();
            noTip = chooser->findChild<QAbstractButton*>("NoButton")->toolTip();
            auto* tree = chooser->findChild<QTreeView*>("ShellTreeView");
            inView = tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex()));
        });
        QTest::mouseClick(destination, Qt::LeftButton);

        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(noTip, OwnText("chooser.no_folder"));
        if (atTree) {
            QCOMPARE(current, shown);
            QVERIFY(inView);
            // Opening there preselects nothing: the field stays as it was.
            QCOMPARE(selected, QString());
        } else {
            QCOMPARE(QDir::cleanPath(current), QDir::cleanPath(fieldText));
        }
        QCOMPARE(destination->text(), expected == "=" ? fieldText : expected);
    }
};

KELVASTO_REGISTER_TEST(TestDestinationChooser)
#include "test_destination_chooser.moc"
