// The window stays readable in a light and in a dark palette: file names
// over each built-in texture (a dark desktop theme gives light text, which
// vanished on the light tiles), text over the drawn dialogs' gradient, and
// the toolbar's icons on the bar.

#include "common/main_window_fixture.h"

#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "imaging/contrast.h"
#include "ui/dialogs/draw_gradient.h"
#include "ui/dialogs/gradient_panel.h"
#include "ui/file_list/icon_halo.h"
#include "ui/file_list/shell_file_list.h"
#include "ui/icons/theme_icons.h"
#include "ui/main_window/toolbar_icons.h"

#include <QAbstractItemView>
#include <QAction>
#include <QListView>
#include <QScopeGuard>
#include <QStyleOptionViewItem>
#include <QToolBar>

#include <QTest>

using namespace mwtest;

namespace {

QPalette Palette(bool dark) {
    QPalette palette;
    const QColor window = dark ? QColor(0x30, 0x30, 0x30) : QColor(0xef, 0xef, 0xef);
    const QColor base = dark ? QColor(0x20, 0x20, 0x20) : Qt::white;
    const QColor text = dark ? QColor(0xee, 0xee, 0xee) : Qt::black;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Button, window);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, text);
    return palette;
}

} // namespace

class TestDarkPalette : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    void namesReadableOverEachTexture_data() {
        QTest::addColumn<int>("texture"); // 0: none
        QTest::addColumn<bool>("dark");
        for (const bool dark : {false, true})
            for (int n = 0; n <= 5; ++n)
                QTest::addRow("texture %d %s", n, dark ? "dark" : "light") << n << dark;
    }
    void namesReadableOverEachTexture() {
        QFETCH(int, texture);
        QFETCH(bool, dark);
        auto window = MakeWindow([texture](AppSettings& s) {
            s.SLVBackground01 = texture > 0;
            s.SLVTextur01 = std::uint8_t(texture);
        });
        // The desktop's colours change while the program runs.
        window->setPalette(Palette(dark));
        ShellFileList& list = *window->fileList();
        const QColor behind = texture > 0 ? MeanColour(list.texture())
                                          : list.activeView()->palette().color(QPalette::Base);
        const double ratio = ContrastRatio(list.textColour(), behind);
        QVERIFY2(ratio >= kReadableContrast, qPrintable(QString::number(ratio)));
    }

    // The folder and picture icons of the list over each texture, with the
    // light or the dark icon theme: enough of each icon's pixels stand out
    // from the tile for its shape to be seen.
    void iconsVisibleOverEachTexture_data() {
        QTest::addColumn<int>("texture");
        QTest::addColumn<bool>("dark");
        for (const bool dark : {false, true})
            for (int n = 1; n <= 5; ++n)
                QTest::addRow("texture %d %s", n, dark ? "dark" : "light") << n << dark;
    }
    void iconsVisibleOverEachTexture() {
        QFETCH(int, texture);
        QFETCH(bool, dark);
        auto restoreTheme = qScopeGuard([] { MatchIconThemeToPalette(Palette(false)); });
        MatchIconThemeToPalette(Palette(dark));
        Folder folder({QStringLiteral("Strand/"), QStringLiteral("Hafen.jpg")});
        auto window = MakeWindow([texture](AppSettings& s) {
            s.SLVBackground01 = true;
            s.SLVTextur01 = std::uint8_t(texture);
        });
        window->setPalette(Palette(dark));
        QVERIFY(ShowFolder(*window, folder.path()));
        QVERIFY(WaitForItems(*window, {QStringLiteral("Strand"), QStringLiteral("Hafen.jpg")}));
        QListView* view = window->fileList()->iconView();
        const QColor tile = MeanColour(window->fileList()->texture());
        for (int row = 0; row < view->model()->rowCount(); ++row) {
            const QModelIndex index = view->model()->index(row, 0);
            QStyleOptionViewItem option;
            option.palette = view->palette();
            option.features = QStyleOptionViewItem::HasDecoration;
            option.icon = index.data(Qt::DecorationRole).value<QIcon>();
            option.decorationSize = QSize(16, 16);
            KeepIconVisible(option);
            const QImage shown = option.icon.pixmap(option.decorationSize).toImage();
            int standingOut = 0;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x) {
                    const QColor pixel = shown.pixelColor(x, y);
                    standingOut +=
                        pixel.alpha() > 128 && ContrastRatio(pixel, tile) >= kVisibleIconContrast;
                }
            const int share = 100 * standingOut / (shown.width() * shown.height());
            QVERIFY2(share >= 15, qPrintable(QStringLiteral("%1: %2 % of the icon stands out")
                                                 .arg(index.data().toString())
                                                 .arg(share)));
        }
    }

    void toolbarIconsStandOutFromTheBar_data() {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }
    void toolbarIconsStandOutFromTheBar() {
        QFETCH(bool, dark);
        auto window = MakeWindow();
        window->setPalette(Palette(dark));
        auto* bar = Find<QToolBar>(*window, "HauptToolBar01");
        const QColor background = bar->palette().color(QPalette::Window);
        // Refresh and help: line-drawn symbols, no coloured picture.
        for (const char* name : {"TB01Refresh", "TB01Hilfe"}) {
            const QColor ink = IconInk(Find<QAction>(*window, name)->icon(), QSize(16, 16));
            QVERIFY(ink.isValid());
            const double ratio = ContrastRatio(ink, background);
            QVERIFY2(ratio >= 3, qPrintable(QString("%1: %2").arg(name).arg(ratio)));
        }
        window->setPalette(Palette(false));
    }

    void gradientTextReadable_data() {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }
    void gradientTextReadable() {
        QFETCH(bool, dark);
        QWidget owner;
        owner.setPalette(Palette(dark));
        GradientPanel panel(&owner, false);
        for (const QColor& stop : WhiteToSilver()) {
            const double ratio = ContrastRatio(panel.palette().color(QPalette::WindowText), stop);
            QVERIFY2(ratio >= kReadableContrast, qPrintable(QString::number(ratio)));
        }
    }
};

KELVASTO_REGISTER_TEST(TestDarkPalette)
#include "test_dark_palette.moc"
