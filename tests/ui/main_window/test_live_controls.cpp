// No control of the main window is dead: every entry of its menus and
// toolbars and every named button (also those enabled only while a job runs)
// is connected to something that acts, or is a choice a job reads. A control
// added without a handler looks like a function of the program and silently
// does nothing.

#include "common/main_window_fixture.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QSet>
#include <QTest>
#include <QToolBar>

using namespace mwtest;

namespace {

// receivers() is protected; a pointer to the member taken through a
// subclass may be applied to any QObject.
struct SignalProbe : QObject {
    static int count(const QObject* object, const char* signal) {
        return (object->*(&SignalProbe::receivers))(signal);
    }
};

int ActionReceivers(const QAction* action) {
    return SignalProbe::count(action, SIGNAL(triggered(bool))) +
           SignalProbe::count(action, SIGNAL(toggled(bool)));
}

int ButtonReceivers(const QAbstractButton* button) {
    return SignalProbe::count(button, SIGNAL(clicked(bool))) +
           SignalProbe::count(button, SIGNAL(toggled(bool))) +
           SignalProbe::count(button, SIGNAL(pressed()));
}

// Qt connects an action's signals itself when a toolbar shows it (for the
// tool button) or a group holds it: those connections do nothing the user
// asked for. Counted on fresh actions, so the test follows Qt's version.
struct QtOwnConnections {
    int toolbar = 0;
    int menu = 0;
    int group = 0;
    QtOwnConnections() {
        QToolBar bar;
        QMenu popup;
        QActionGroup actionGroup(nullptr);
        QAction inBar, inMenu, inGroup;
        bar.addAction(&inBar);
        popup.addAction(&inMenu);
        actionGroup.addAction(&inGroup);
        toolbar = ActionReceivers(&inBar);
        menu = ActionReceivers(&inMenu);
        group = ActionReceivers(&inGroup);
    }
    int of(const QAction* action) const {
        int own = action->actionGroup() ? group : 0;
        for (const QObject* place : action->associatedObjects()) {
            if (qobject_cast<const QToolBar*>(place))
                own += toolbar;
            else if (qobject_cast<const QMenu*>(place))
                own += menu;
        }
        return own;
    }
};

// Controls that act through another: their state is read when a job or a
// handler of another control runs, so they need no handler of their own.
const QSet<QString> kReadByOthers = {
    // The destination groups, read by the index and batch jobs.
    "IdxZielRadioButton01",
    "IdxZielRadioButton02",
    "IdxZielRadioButton03",
    "FktZielRadioButton01",
    "FktZielRadioButton02",
    "FktZielRadioButton03",
    // "Search sub-folders" of the defect scan and reduction, index and batch jobs.
    "GrafikRekursiv",
    "IdxRekursiv",
    "FktRekursiv",
    // The series rule of index sheets named by series.
    "IdxSRadioButton01",
    "IdxSRadioButton02",
    // Copy or move of the defect scan; the reduction's copies and the parts
    // it removes.
    "RadioGroup_DDS01_0",
    "RadioGroup_DDS01_1",
    "RadioGroup_DV01_0",
    "RadioGroup_DV01_1",
    "CheckBox_DV02",
    "CheckBox_DV03",
    "CheckBox_DV04",
    // The same-picture mode of the similar-picture search, read by its search.
    "CheckBoxSimGleichesBild",
    // The editor's colour mode, read by its colour buttons.
    "RadioGroupFarben_0",
    "RadioGroupFarben_1",
    "RadioGroupFarben_2",
};

// Menu entries and toolbar buttons of the window, without separators and
// the entries that only open a sub-menu.
QList<QAction*> CommandActions(THauptForm& window) {
    QList<QAction*> actions;
    auto collect = [&actions](const QList<QAction*>& list) {
        for (QAction* action : list)
            if (!action->isSeparator() && !action->menu() && !actions.contains(action))
                actions << action;
    };
    for (QMenu* menu : window.findChildren<QMenu*>())
        collect(menu->actions());
    for (QToolBar* toolbar : window.findChildren<QToolBar*>())
        collect(toolbar->actions());
    return actions;
}

} // namespace

class TestLiveControls : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetLanguageOffset(0); }

    void everyMenuEntryAndToolbarButtonActs() {
        auto window = MakeWindow();
        const QList<QAction*> actions = CommandActions(*window);
        QVERIFY(actions.size() > 30);
        const QtOwnConnections qtOwn;
        QStringList dead;
        for (QAction* action : actions) {
            QVERIFY2(!action->objectName().isEmpty(), qPrintable(action->text()));
            if (ActionReceivers(action) <= qtOwn.of(action))
                dead << action->objectName();
        }
        QVERIFY2(dead.isEmpty(), qPrintable(dead.join(QStringLiteral(", "))));
    }

    void everyNamedButtonActs() {
        auto window = MakeWindow();
        QStringList dead;
        int checked = 0;
        for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            const QString name = button->objectName();
            if (name.isEmpty() || kReadByOthers.contains(name))
                continue;
            ++checked;
            if (ButtonReceivers(button) == 0)
                dead << name;
        }
        QVERIFY(checked > 30);
        QVERIFY2(dead.isEmpty(), qPrintable(dead.join(QStringLiteral(", "))));
    }

    // The list above must not outlive a control that was removed or renamed.
    void controlsReadByOthersExist() {
        auto window = MakeWindow();
        for (const QString& name : kReadByOthers) {
            auto* button = Find<QAbstractButton>(*window, name);
            QVERIFY2(button, qPrintable(name));
        }
    }
};

KELVASTO_REGISTER_TEST(TestLiveControls)
#include "test_live_controls.moc"
