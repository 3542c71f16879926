#include "ui/language/mnemonics.h"

#include "i18n/mnemonic_letters.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBar>

#include <functional>

namespace {

// The caption a pass put on a control; a caption set anew since then (by the
// language switch or a handler) differs from it and counts as given.
constexpr const char* kPassCaption = "kelvastoMnemonicCaption";

struct Caption {
    QObject* marker; // carries kPassCaption
    QString shown;
    std::function<void(const QString&)> show;
};

// The caption as the texts gave it, without this program's letter.
QString GivenCaption(const Caption& caption) {
    const QString ours = caption.marker->property(kPassCaption).toString();
    return !ours.isEmpty() && ours == caption.shown ? WithoutMnemonic(caption.shown)
                                                    : caption.shown;
}

void Put(const Caption& caption, const QString& given, const QString& result) {
    if (result != caption.shown)
        caption.show(result);
    caption.marker->setProperty(kPassCaption, result == given ? QString() : result);
}

// Returns the captions as they now show.
QStringList Assign(const QList<Caption>& captions, QString& taken) {
    QStringList given;
    for (const Caption& caption : captions)
        given << GivenCaption(caption);
    const QStringList result = WithMnemonics(given, taken);
    for (qsizetype i = 0; i < captions.size(); ++i)
        Put(captions.at(i), given.at(i), result.at(i));
    return result;
}

bool TakesFocus(const QWidget* widget) {
    return widget && widget->focusPolicy() != Qt::NoFocus;
}

// The captions of `scope` outside its nested pages, and those pages.
class ScopeWalk {
public:
    QList<Caption> captions;
    QList<QWidget*> pages;

    void walkChildren(QWidget* parent) {
        for (QObject* child : parent->children())
            if (auto* widget = qobject_cast<QWidget*>(child); widget && !widget->isWindow())
                visit(widget);
    }

private:
    void visit(QWidget* w) {
        if (auto* bar = qobject_cast<QMenuBar*>(w)) {
            for (QAction* action : bar->actions())
                if (QMenu* menu = action->menu())
                    captions << Caption{menu, menu->title(),
                                        [menu](const QString& t) { menu->setTitle(t); }};
            return;
        }
        if (qobject_cast<QMenu*>(w) || qobject_cast<QToolBar*>(w))
            return;
        if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            for (int i = 0; i < tabs->count(); ++i) {
                captions << Caption{tabs->widget(i), tabs->tabText(i),
                                    [tabs, i](const QString& t) { tabs->setTabText(i, t); }};
                pages << tabs->widget(i);
            }
            return;
        }
        if (auto* stack = qobject_cast<QStackedWidget*>(w)) {
            for (int i = 0; i < stack->count(); ++i)
                pages << stack->widget(i);
            return;
        }
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            if (!button->text().isEmpty())
                captions << Caption{button, button->text(),
                                    [button](const QString& t) { button->setText(t); }};
            return;
        }
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (TakesFocus(label->buddy()) && !label->text().isEmpty())
                captions << Caption{label, label->text(),
                                    [label](const QString& t) { label->setText(t); }};
            return;
        }
        if (qobject_cast<QAbstractItemView*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
            qobject_cast<QComboBox*>(w) || qobject_cast<QLineEdit*>(w))
            return;
        if (auto* box = qobject_cast<QGroupBox*>(w); box && !box->title().isEmpty())
            captions << Caption{box, box->title(), [box](const QString& t) { box->setTitle(t); }};
        walkChildren(w);
    }
};

// `reserved`: letters the texts give somewhere in the window, kept from the
// controls that choose a letter; a control that gives one itself keeps it.
void AssignScope(QWidget* scope, const QString& claimed, const QString& reserved) {
    ScopeWalk walk;
    walk.walkChildren(scope);
    QString own;
    for (const Caption& caption : walk.captions)
        own.append(MnemonicOf(GivenCaption(caption)));
    QString taken = claimed;
    for (const QChar letter : reserved)
        if (!own.contains(letter) && !taken.contains(letter))
            taken.append(letter);
    QString claimedBelow = claimed;
    for (const QString& shown : Assign(walk.captions, taken))
        if (const QChar letter = MnemonicOf(shown); !letter.isNull())
            claimedBelow.append(letter);
    for (QWidget* page : walk.pages)
        AssignScope(page, claimedBelow, reserved);
}

// Letters the texts themselves give anywhere in the window: a page beside
// another (the progress panel beside the series tabs) must not take them.
QString GivenLetters(QWidget& window) {
    QString given;
    auto note = [&given](const QObject* marker, const QString& shown) {
        if (marker->property(kPassCaption).toString() == shown && !shown.isEmpty())
            return;
        const QChar letter = MnemonicOf(shown);
        if (!letter.isNull() && !given.contains(letter))
            given.append(letter);
    };
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>())
        note(button, button->text());
    return given;
}

void AssignMenu(QMenu* menu) {
    QList<Caption> captions;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() || action->text().isEmpty())
            continue;
        captions << Caption{action, action->text(),
                            [action](const QString& t) { action->setText(t); }};
    }
    QString taken;
    Assign(captions, taken);
}

} // namespace

void AddMnemonics(QWidget& window) {
    AssignScope(&window, QString(), GivenLetters(window));
    for (QMenu* menu : window.findChildren<QMenu*>())
        AssignMenu(menu);
}
