// The toolbar and the menus show real icons from the installed theme, and
// every toolbar button explains itself in the current language.

#include "common/main_window_fixture.h"

#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "ui/icons/theme_icons.h"
#include "ui/main_window/toolbar_icons.h"

#include <QAction>
#include <QFileIconProvider>
#include <QImage>
#include <QTest>
#include <QToolBar>

using namespace mwtest;

namespace {

// True when the icon draws something at 16 pixels (a theme icon whose file
// format Qt cannot read draws nothing).
bool Draws(const QIcon& icon) {
    const QImage image = icon.pixmap(16, 16).toImage();
    if (image.isNull())
        return false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                return true;
    return false;
}

} // namespace

class TestToolbar : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    void everyButtonHasIconAndTooltip_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("German") << 0;
        QTest::newRow("English") << 10000;
    }
    void everyButtonHasIconAndTooltip() {
        QFETCH(int, language);
        auto window = MakeWindow([language](AppSettings& s) { s.Sprache = language; });
        const QList<QAction*> actions = Find<QToolBar>(*window, "HauptToolBar01")->actions();
        QVERIFY(actions.size() > 5);
        for (QAction* action : actions) {
            if (action->isSeparator())
                continue;
            QVERIFY2(!action->toolTip().isEmpty(), qPrintable(action->objectName()));
            // Qt makes a tooltip from the (empty) text when none was set.
            QVERIFY2(action->toolTip() != action->text() || !action->text().isEmpty(),
                     qPrintable(action->objectName()));
            QVERIFY2(Draws(action->icon()), qPrintable(action->objectName()));
        }
        QCOMPARE(Find<QAction>(*window, "TB01Info")->toolTip(),
                 CatalogueText(CatalogueId::AboutInfo));
    }

    void themedSlotsComeFromTheInstalledTheme_data() {
        QTest::addColumn<int>("slot");
        for (int slot = 0; slot < kToolbarIconCount; ++slot)
            QTest::addRow("slot %d %s", slot,
                          ToolbarIconThemeName(slot) ? ToolbarIconThemeName(slot) : "drawn")
                << slot;
    }
    void themedSlotsComeFromTheInstalledTheme() {
        QFETCH(int, slot);
        const char* name = ToolbarIconThemeName(slot);
        if (name) {
            // Found through the fallback theme, also without a desktop session.
            UseIconTheme();
            QVERIFY2(QIcon::hasThemeIcon(QString::fromLatin1(name)), name);
        }
        QVERIFY(Draws(ToolbarIcon(slot)));
    }

    void folderViewsShowThemedIcons() {
        UseIconTheme();
        QVERIFY(QIcon::hasThemeIcon("folder"));
        QVERIFY(QIcon::hasThemeIcon("image-jpeg"));
        QVERIFY(Draws(FileIcons().icon(QFileIconProvider::Folder)));
    }
};

KELVASTO_REGISTER_TEST(TestToolbar)
#include "test_toolbar.moc"
