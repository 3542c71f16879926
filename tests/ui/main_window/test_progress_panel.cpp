// The progress panel's captions stay on one line each, in both languages, at
// the smallest window size and on a large screen, with the usual desktop font
// and a large one; the counters stay inside the panel.

#include "common/main_window_fixture.h"

#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "i18n/mnemonic_letters.h"

#include <QApplication>

#include <QLabel>
#include <QScopeGuard>
#include <QStackedWidget>
#include <QTest>

using namespace mwtest;

class TestProgressPanel : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    void captionsOnOneLine_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("points"); // the desktop font; 0: as it is
        for (const int language : {0, 10000})
            for (const QSize size : {QSize(800, 565), QSize(1280, 1024)})
                QTest::addRow("%s %dx%d", language ? "English" : "German", size.width(),
                              size.height())
                    << language << size << 0;
        QTest::newRow("German, 14 pt") << 0 << QSize(1280, 1024) << 14;
        QTest::newRow("English, 14 pt") << 10000 << QSize(1280, 1024) << 14;
    }
    void captionsOnOneLine() {
        QFETCH(int, language);
        QFETCH(QSize, size);
        QFETCH(int, points);
        const QFont desktopFont = QApplication::font();
        auto restoreFont = qScopeGuard([&] { QApplication::setFont(desktopFont); });
        if (points) {
            QFont large = desktopFont;
            large.setPointSize(points);
            QApplication::setFont(large);
        }
        auto window = MakeWindow([language](AppSettings& s) { s.Sprache = language; });
        window->resize(size);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto* pages = Find<QStackedWidget>(*window, "NBStatus01");
        for (int page = 1; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            QCoreApplication::processEvents();
            const QWidget* shown = pages->currentWidget();
            for (const QLabel* label : shown->findChildren<QLabel*>()) {
                if (label->text().isEmpty() || !label->isVisible())
                    continue;
                const QString what = label->objectName() + ": " + label->text();
                const QFontMetrics metrics(label->font());
                QVERIFY2(metrics.horizontalAdvance(WithoutMnemonic(label->text())) <=
                             label->contentsRect().width(),
                         qPrintable(what));
                QVERIFY2(label->height() < 2 * metrics.lineSpacing(), qPrintable(what));
                QVERIFY2(shown->rect().contains(label->geometry()), qPrintable(what));
            }
        }
    }
};

KELVASTO_REGISTER_TEST(TestProgressPanel)
#include "test_progress_panel.moc"
