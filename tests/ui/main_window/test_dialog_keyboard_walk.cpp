// Every dialog of the window walked by keyboard alone, in both languages: Tab
// (and the arrow keys inside a radio group) reaches each control a mouse user
// can click, Escape closes the dialog and Enter presses its default button.

#include "common/main_window_fixture.h"

#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "settings/app_settings.h"
#include "ui/dialogs/about_box.h"
#include "ui/dialogs/file_properties_dialog.h"
#include "ui/dialogs/help_window.h"
#include "ui/dialogs/message_dialog.h"
#include "ui/dialogs/options_dialog.h"
#include "ui/dialogs/select_dir_dialog.h"
#include "ui/dialogs/skipped_entries_dialog.h"
#include "ui/language/language_chooser.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <functional>

using namespace mwtest;

namespace {

// Something a mouse user can click, type into or select in.
bool IsClickable(QWidget* w) {
    QWidget* parent = w->parentWidget();
    // Parts of a composite control are reached through the control.
    if (qobject_cast<QAbstractSpinBox*>(parent) || qobject_cast<QComboBox*>(parent) ||
        qobject_cast<QTabBar*>(parent) || qobject_cast<QScrollBar*>(w))
        return false;
    if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
        qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QAbstractSlider*>(w) ||
        qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractItemView*>(w) ||
        qobject_cast<QTextEdit*>(w) || qobject_cast<QTabBar*>(w))
        return true;
    // A label is clicked for its links or selected to copy its text.
    if (auto* label = qobject_cast<QLabel*>(w))
        return (label->textInteractionFlags() & Qt::TextSelectableByMouse) ||
               ((label->textInteractionFlags() & Qt::LinksAccessibleByMouse) &&
                label->text().contains(QLatin1String("href")));
    return false;
}

QString Describe(QWidget* w) {
    return w->objectName() + QLatin1Char('(') + QString::fromLatin1(w->metaObject()->className()) +
           QLatin1Char(')');
}

// The controls the keyboard leaves out; the focus starts where the dialog put it.
QStringList Unreached(QWidget& dialog) {
    QSet<QWidget*> reached;
    auto note = [&] {
        for (QWidget* w = QApplication::focusWidget(); w && w != &dialog; w = w->parentWidget())
            reached.insert(w);
    };
    for (int press = 0; press < 150 && QApplication::focusWidget(); ++press) {
        note();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // Within a group of radio buttons only the arrow keys move on.
    const QList<QWidget*> tabbed = reached.values();
    for (QWidget* w : tabbed)
        if (qobject_cast<QRadioButton*>(w))
            for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up}) {
                w->setFocus(Qt::TabFocusReason);
                for (int press = 0; press < 8; ++press) {
                    QTest::keyClick(QApplication::focusWidget(), key);
                    note();
                }
            }
    QStringList unreached;
    for (QWidget* w : dialog.findChildren<QWidget*>())
        if (w->isVisibleTo(&dialog) && w->isEnabled() && IsClickable(w) && !reached.contains(w))
            unreached << Describe(w);
    return unreached;
}

enum class Kind {
    OptionsBasic,
    OptionsSurface,
    About,
    Properties,
    Language,
    Help,
    Folder,
    Message,
    Skipped
};

// Builds the dialog of `kind` over `window` and runs `check` while it shows;
// `check` leaves it closed.
void WithDialog(THauptForm& window, Kind kind, const std::function<void(QDialog&)>& check) {
    if (kind == Kind::Properties) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bild.jpg"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not really a picture");
        file.close();
        bool ran = false;
        QTimer::singleShot(0, &window, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            ran = true;
            dialog->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            check(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        ShowFileProperties(path, &window);
        QVERIFY(ran);
        return;
    }
    AppSettings settings;
    std::unique_ptr<QDialog> dialog;
    switch (kind) {
    case Kind::OptionsBasic:
    case Kind::OptionsSurface:
        dialog = std::make_unique<TFormOptionen>(window);
        break;
    case Kind::About:
        dialog = std::make_unique<TInfoF>(&window);
        break;
    case Kind::Language:
        dialog = std::make_unique<TfrmSprache>(
            settings, [] {}, &window);
        break;
    case Kind::Help: {
        auto help = std::make_unique<HelpWindow>(&window);
        help->showContents();
        dialog = std::move(help);
        break;
    }
    case Kind::Folder:
        dialog = std::make_unique<TSelectDirDlg>(&window);
        break;
    case Kind::Message:
        dialog = BuildMessageDialog(CatalogueText(CatalogueId::ReallyUninstall),
                                    MessageKind::Confirmation, DialogButton::Yes | DialogButton::No,
                                    CurrentLanguageName());
        break;
    case Kind::Skipped:
        dialog = BuildSkippedEntriesDialog({{QStringLiteral("/a/b.jpg"), QStringLiteral("?")}},
                                           CurrentLanguageName());
        break;
    default:
        break;
    }
    if (kind == Kind::OptionsSurface || kind == Kind::OptionsBasic)
        dialog->findChild<QTabWidget*>()->setCurrentIndex(kind == Kind::OptionsSurface ? 1 : 0);
    dialog->show();
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    if (!QApplication::focusWidget())
        dialog->setFocus(Qt::TabFocusReason);
    check(*dialog);
}

void AddRows() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("offset");
    const std::pair<Kind, const char*> kinds[] = {{Kind::OptionsBasic, "options basic page"},
                                                  {Kind::OptionsSurface, "options surface page"},
                                                  {Kind::About, "about box"},
                                                  {Kind::Properties, "file properties"},
                                                  {Kind::Language, "language chooser"},
                                                  {Kind::Help, "help window"},
                                                  {Kind::Folder, "folder chooser"},
                                                  {Kind::Message, "uninstall question"},
                                                  {Kind::Skipped, "skipped entries"}};
    for (const int offset : {0, 10000})
        for (const auto& [kind, name] : kinds)
            QTest::addRow("%s %d", name, offset) << int(kind) << offset;
}

} // namespace

class TestDialogKeyboardWalk : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }
    void cleanup() { SetLanguageOffset(0); }

    void tabReachesEveryControlAndEscapeCloses_data() { AddRows(); }
    void tabReachesEveryControlAndEscapeCloses() {
        QFETCH(int, kind);
        QFETCH(int, offset);
        auto window = MakeWindow();
        window->show();
        SwitchLanguage(*window, offset);
        WithDialog(*window, Kind(kind), [](QDialog& dialog) {
            const QStringList unreached = Unreached(dialog);
            QVERIFY2(unreached.isEmpty(), qPrintable(unreached.join(QStringLiteral(", "))));
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : &dialog, Qt::Key_Escape);
            QVERIFY2(!dialog.isVisible(), "Escape left the dialog open");
        });
    }

    // Enter presses the focused button, elsewhere the dialog's default one.
    void enterPressesTheDefaultButton_data() { AddRows(); }
    void enterPressesTheDefaultButton() {
        QFETCH(int, kind);
        QFETCH(int, offset);
        auto window = MakeWindow();
        window->show();
        SwitchLanguage(*window, offset);
        WithDialog(*window, Kind(kind), [](QDialog& dialog) {
            QPushButton* expected = qobject_cast<QPushButton*>(QApplication::focusWidget());
            if (!expected)
                for (QPushButton* button : dialog.findChildren<QPushButton*>())
                    if (button->isDefault() && button->isVisibleTo(&dialog))
                        expected = button;
            if (!expected) {
                dialog.reject();
                return; // nothing for Enter to press
            }
            QSignalSpy clicked(expected, &QAbstractButton::clicked);
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : &dialog, Qt::Key_Return);
            QCOMPARE(clicked.count(), 1);
            if (dialog.isVisible())
                dialog.reject();
        });
    }
};

KELVASTO_REGISTER_TEST(TestDialogKeyboardWalk)
#include "test_dialog_keyboard_walk.moc"
