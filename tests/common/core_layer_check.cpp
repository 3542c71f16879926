// Built into every core test program: the program under test must run without
// the widgets library. A widget dependency that creeps into the core library
// (a linked Qt6::Widgets, a call into a widget class) loads libQt6Widgets into
// this process, and this test names the program that pulled it in.

#include "common/test_registry.h"

#include <QFile>
#include <QTest>

class TestCoreLayer : public QObject {
    Q_OBJECT
private slots:
    void loadsNoWidgetLibrary_data() {
        QTest::addColumn<QByteArray>("library");
        QTest::newRow("widgets") << QByteArray("libQt6Widgets");
        QTest::newRow("old widgets") << QByteArray("libQt5Widgets");
    }

    void loadsNoWidgetLibrary() {
        QFETCH(QByteArray, library);
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        QVERIFY(!mapped.isEmpty());
        QVERIFY2(!mapped.contains(library),
                 qPrintable(QCoreApplication::applicationName() + " loads " + library));
    }
};

KELVASTO_REGISTER_TEST(TestCoreLayer)
#include "core_layer_check.moc"
