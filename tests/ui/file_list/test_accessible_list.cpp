// A screen reader reaches every item of the listed folder, in each view: the
// file model's top level is "/", and a view showing one folder of it offered
// a single row.

#include "common/main_window_fixture.h"

#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "ui/file_list/shell_file_list.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QListView>
#include <QTest>
#include <QTreeView>

using namespace mwtest;

class TestAccessibleList : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    void everyShownItemIsARow_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<bool>("details");
        for (const bool details : {false, true}) {
            const char* view = details ? "details" : "list";
            QTest::addRow("empty folder, %s", view) << QStringList{} << QStringList{} << details;
            QTest::addRow("three pictures, %s", view)
                << QStringList{"a.jpg", "b.jpg", "c.jpg"}
                << QStringList{"a.jpg", "b.jpg", "c.jpg"} << details;
            QTest::addRow("folder and filtered file, %s", view)
                << QStringList{"inner/", "a.jpg", "notes.txt"} << QStringList{"inner", "a.jpg"}
                << details;
        }
    }
    void everyShownItemIsARow() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, shown);
        QFETCH(bool, details);
        Folder folder(files);
        auto window = MakeWindow();
        window->show();
        QVERIFY(ShowFolder(*window, folder.path()));
        QVERIFY(WaitForItems(*window, shown));
        ShellFileList& list = *window->fileList();
        list.setViewStyle(details ? ViewStyle::Report : ViewStyle::List);
        QCoreApplication::processEvents();
        QAbstractItemView* view = details ? static_cast<QAbstractItemView*>(list.detailsView())
                                          : static_cast<QAbstractItemView*>(list.iconView());
        QTest::failOnWarning(QRegularExpression(QStringLiteral("Invalid index")));
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(view);
        QVERIFY(iface);
        QAccessibleTableInterface* table = iface->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->rowCount(), shown.size());
        for (int row = 0; row < shown.size(); ++row) {
            QAccessibleInterface* cell = table->cellAt(row, 0);
            QVERIFY(cell);
            QCOMPARE(cell->text(QAccessible::Name), shown.at(row));
        }
    }
};

KELVASTO_REGISTER_TEST(TestAccessibleList)
#include "test_accessible_list.moc"
