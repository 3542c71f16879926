// HauptMenu01, PopupMenu01 and HauptToolBar01 with their entries, icons and
// start states. Captions and hints come from ApplyLanguage.

#include "ui/main_window/main_window_parts.h"

#include "i18n/catalogue.h"
#include "i18n/own_texts.h"
#include "ui/icons/theme_icons.h"
#include "ui/main_window/toolbar_icons.h"

#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QToolBar>

#include <algorithm>

namespace {

struct Entry {
    const char* name;
    int icon; // -1: none
    bool visible;
    bool enabled;
};

QAction* AddEntry(QMenu* menu, const Entry& entry) {
    auto* action = menu->addAction(entry.icon >= 0 ? ToolbarIcon(entry.icon) : QIcon(), QString());
    action->setObjectName(QString::fromLatin1(entry.name));
    action->setVisible(entry.visible);
    action->setEnabled(entry.enabled);
    return action;
}

QAction* Separator(QMenu* menu, const char* name) {
    QAction* separator = menu->addSeparator();
    separator->setObjectName(QString::fromLatin1(name));
    return separator;
}

QMenu* Submenu(QMenuBar* bar, const char* name) {
    auto* menu = new QMenu(bar);
    menu->setObjectName(QString::fromLatin1(name));
    menu->setToolTipsVisible(true);
    // "Aktionen" has no entries on some tabs. Opened then, an empty menu would
    // take a zero size, and a window once shown at zero size is never mapped
    // again by X: the menu would stay invisible for the rest of the run.
    menu->setMinimumSize(1, 1);
    bar->addMenu(menu);
    return menu;
}

// The job entries of "Aktionen"; the pop-up menu holds the same with "PM01_".
const Entry kJobEntries[] = {
    {"DDS", 17, true, true},         {"DDL", 14, true, false},
    {"DV", 18, true, false},         {"IndexBilder", 16, false, true},
    {"Thumbnails", -1, false, true}, {"AntiAlising", -1, false, true},
    {"Optimieren", -1, false, true}, {"SW", -1, false, true},
    {"BMP_JPG", -1, false, true},
};

void AddJobEntries(QMenu* menu, const char* prefix) {
    for (const Entry& entry : kJobEntries) {
        const QByteArray name = QByteArray(prefix) + entry.name;
        AddEntry(menu, {name.constData(), entry.icon, entry.visible, entry.enabled});
    }
}

} // namespace

void BuildMainMenu(QMainWindow& window) {
    auto* bar = new QMenuBar(&window);
    bar->setObjectName(QStringLiteral("HauptMenu01"));
    window.setMenuBar(bar);

    QMenu* file = Submenu(bar, "HMenu_Datei");
    AddEntry(file, {"HMenuDateiRueckgaengig", 8, true, false});
    AddEntry(file, {"HMenuDateiOPT", 11, true, true});
    AddEntry(file, {"HMenu_Sprache", 10, true, true});
    Separator(file, "HMenuDateiTrenner02");
    AddEntry(file, {"HMenuDateiProgDeInst", 13, true, true});
    Separator(file, "N02");
    AddEntry(file, {"HMenu_ProgEnde", 12, true, true});

    QMenu* actions = Submenu(bar, "HMenu_Aktionen");
    AddJobEntries(actions, "HMenu_");

    QMenu* info = Submenu(bar, "HMenu_Info");
    AddEntry(info, {"HMenuInfoHilfe", 7, true, true});
    AddEntry(info, {"HMenu_InfoF", 6, true, true});
}

bool HasVisibleEntries(const QMenu& menu) {
    const QList<QAction*> entries = menu.actions();
    return std::any_of(entries.begin(), entries.end(), [](const QAction* entry) {
        return entry->isVisible() && !entry->isSeparator();
    });
}

QMenu* BuildPopupMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("PopupMenu01"));
    menu->setToolTipsVisible(true);
    AddEntry(menu, {"PM01_DateiLoeschen", 14, true, true});
    menu->addSeparator();
    AddJobEntries(menu, "PM01_");
    menu->addSeparator();
    AddEntry(menu, {"PM01_DateienMarkieren", 15, true, true});
    menu->addSeparator();
    AddEntry(menu, {"PM01_Eigenschaften", -1, true, true})
        ->setIcon(ThemeIcon("document-properties"));
    return menu;
}

void ReachToolBarByKeyboard(QToolBar* toolbar) {
    // A toolbar keeps its buttons out of the tab order; the keyboard has no
    // other way to the views, refresh, help and the editor's open and save.
    for (QAction* action : toolbar->actions())
        if (QWidget* button = toolbar->widgetForAction(action); button && !action->isSeparator())
            button->setFocusPolicy(Qt::TabFocus);
}

void AssignShortcuts(QMainWindow& window) {
    auto action = [&window](const char* name) {
        return window.findChild<QAction*>(QString::fromLatin1(name));
    };
    const std::pair<const char*, QKeySequence::StandardKey> standard[] = {
        {"HMenuInfoHilfe", QKeySequence::HelpContents},
        {"TB01Refresh", QKeySequence::Refresh},
        {"HMenuDateiRueckgaengig", QKeySequence::Undo},
        {"HMenu_ProgEnde", QKeySequence::Quit},
        // The editor's toolbar shows only on its tab: there alone they act.
        {"TB02LoadPic", QKeySequence::Open},
        {"TB02SavePic", QKeySequence::Save},
    };
    for (const auto& [name, key] : standard)
        action(name)->setShortcuts(key);
    // Platforms without a desktop theme bind no key to quit.
    if (QAction* quit = action("HMenu_ProgEnde"); quit->shortcuts().isEmpty())
        quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    // The file list's pop-up entries: shown beside the entries, pressed in
    // the list (FileListKeys), where the entry's state is worked out first.
    const std::pair<const char*, QList<QKeySequence>> listKeys[] = {
        {"PM01_DateiLoeschen", QKeySequence::keyBindings(QKeySequence::Delete)},
        {"PM01_DateienMarkieren", QKeySequence::keyBindings(QKeySequence::SelectAll)},
        {"PM01_Eigenschaften",
         {QKeySequence(Qt::ALT | Qt::Key_Return), QKeySequence(Qt::ALT | Qt::Key_Enter)}},
    };
    for (const auto& [name, keys] : listKeys) {
        action(name)->setShortcuts(keys);
        action(name)->setShortcutContext(Qt::WidgetShortcut);
    }
    // F10 opens the first menu, as on other desktops' programs; Alt alone
    // moves into the menu bar by the style.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), &window);
    f10->setObjectName(QStringLiteral("ShortcutMenuBar"));
    QObject::connect(f10, &QShortcut::activated, &window, [&window] {
        for (QAction* menu : window.menuBar()->actions())
            if (menu->isVisible() && menu->isEnabled()) {
                window.menuBar()->setActiveAction(menu);
                return;
            }
    });
}

QToolBar* BuildMainToolBar(QWidget* parent) {
    auto* toolbar = new QToolBar(parent);
    toolbar->setObjectName(QStringLiteral("HauptToolBar01"));
    toolbar->setMinimumHeight(30);
    toolbar->setIconSize(QSize(16, 16));
    auto add = [&](const char* name, int icon) {
        QAction* action = toolbar->addAction(ToolbarIcon(icon), QString());
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    add("TB01Refresh", 9);
    toolbar->addSeparator();
    add("TB01Rueckgaengig", 8)->setEnabled(false);
    add("TB01Optionen", 11);
    toolbar->addSeparator();
    auto* views = new QActionGroup(toolbar);
    views->setExclusive(true);
    for (auto [name, icon] : {std::pair{"TB01LargeIcon", 0}, std::pair{"TB01SmallIcon", 1},
                              std::pair{"TB01List", 2}, std::pair{"TB01Report", 3}}) {
        QAction* view = add(name, icon);
        view->setCheckable(true);
        views->addAction(view);
    }
    toolbar->findChild<QAction*>(QStringLiteral("TB01List"))->setChecked(true);
    toolbar->addSeparator();
    add("TB01Hilfe", 7);
    add("TB01Info", 6);
    ReachToolBarByKeyboard(toolbar);
    return toolbar;
}

void LinkUndoButton(QWidget& window) {
    auto* entry = window.findChild<QAction*>(QStringLiteral("HMenuDateiRueckgaengig"));
    auto* button = window.findChild<QAction*>(QStringLiteral("TB01Rueckgaengig"));
    button->setEnabled(entry->isEnabled());
    QObject::connect(entry, &QAction::enabledChanged, button, &QAction::setEnabled);
}

void ApplyToolbarTexts(QWidget& window) {
    const std::pair<const char*, QString> tips[] = {
        {"TB01Refresh", OwnText("toolbar.refresh")},
        {"TB01LargeIcon", OwnText("toolbar.large_icons")},
        {"TB01SmallIcon", OwnText("toolbar.small_icons")},
        {"TB01List", OwnText("toolbar.list")},
        {"TB01Report", OwnText("toolbar.details")},
        {"TB01Info", CatalogueText(CatalogueId::AboutInfo)},
    };
    for (const auto& [name, tip] : tips) {
        auto* button = window.findChild<QAction*>(QString::fromLatin1(name));
        button->setToolTip(tip);
        button->setStatusTip(tip);
    }
}
