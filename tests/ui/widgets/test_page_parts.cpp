// The pieces job pages are built from, at sizes and fonts the design did not
// plan for: a button shows its whole caption however little room its row
// has, and the destination group moves below the rest of a page that is too
// narrow for it rather than being cut off.

#include "common/test_registry.h"
#include "ui/widgets/page_parts.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QVBoxLayout>

class TestPageParts : public QObject {
    Q_OBJECT
private slots:
    void buttonKeepsItsCaptionWhenSqueezed_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("designWidth");
        QTest::newRow("short caption") << QStringLiteral("JPEG") << 110;
        QTest::newRow("German caption") << QStringLiteral("Schwarz-Weiss umwandeln") << 110;
        QTest::newRow("long caption")
            << QStringLiteral("Index-Bilder aller Unterordner erstellen") << 150;
    }
    void buttonKeepsItsCaptionWhenSqueezed() {
        QFETCH(QString, caption);
        QFETCH(int, designWidth);
        QWidget row;
        auto* layout = new QHBoxLayout(&row);
        QList<QPushButton*> buttons;
        for (const char* name : {"First", "Second", "Third"}) {
            buttons << parts::Button(&row, name, designWidth);
            buttons.last()->setText(caption);
            layout->addWidget(buttons.last());
        }
        row.show();
        // The smallest size the row's layout allows.
        row.resize(row.minimumSizeHint());
        QVERIFY(QTest::qWaitForWindowExposed(&row));
        const int captionWidth = row.fontMetrics().horizontalAdvance(caption);
        for (QPushButton* button : buttons) {
            QVERIFY2(button->width() >= designWidth, qPrintable(button->objectName()));
            QVERIFY2(button->width() > captionWidth, qPrintable(button->objectName()));
        }
    }

    void destinationGoesBelowWhenThePageIsNarrow_data() {
        QTest::addColumn<int>("restWidth");
        QTest::addColumn<bool>("below");
        QTest::newRow("room beside") << 200 << false;
        QTest::newRow("too narrow") << 700 << true;
    }
    void destinationGoesBelowWhenThePageIsNarrow() {
        QFETCH(int, restWidth);
        QFETCH(bool, below);
        // The page in a window of a set size, as in a tab of the main window.
        QWidget window;
        window.setFixedSize(800, 400);
        auto* pageLayout = new QVBoxLayout(&window);
        auto* page = new QWidget(&window);
        pageLayout->addWidget(page);
        auto* row = new QHBoxLayout(page);
        auto* rest = new QLabel(QStringLiteral("rest"), page);
        rest->setMinimumWidth(restWidth);
        row->addWidget(rest, 1);
        auto* side = new QVBoxLayout;
        QGroupBox* group = parts::DestinationGroup(page, QStringLiteral("Idx"));
        group->setTitle(QStringLiteral("Zielverzeichnis"));
        for (auto* radio : group->findChildren<QRadioButton*>())
            radio->setText(QStringLiteral("Bild-Quellverzeichnis +"));
        side->addWidget(group);
        side->addStretch();
        row->addLayout(side);
        parts::DestinationBesideOrBelow(page, row, group);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE(group->y() >= rest->geometry().bottom(), below);
        QVERIFY(page->rect().contains(group->geometry()));
        // Across, the first choice and its field share a row.
        auto* first = group->findChild<QRadioButton*>(QStringLiteral("IdxZielRadioButton01"));
        auto* field = group->findChild<QLineEdit*>(QStringLiteral("IdxZielverzeichnis"));
        QCOMPARE(field->y() < first->geometry().bottom(), below);
        // Wide enough again: beside once more.
        if (below) {
            rest->setMinimumWidth(200);
            QTRY_VERIFY(group->x() >= rest->geometry().right());
            QVERIFY(field->y() > first->geometry().bottom());
        }
    }
};

KELVASTO_REGISTER_TEST(TestPageParts)
#include "test_page_parts.moc"
