#include "ui/language/accessible_names.h"

#include "i18n/mnemonic_letters.h"
#include "i18n/own_texts.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

namespace {

constexpr const char* kNamedBy = "kelvastoNamedBy";
constexpr const char* kOwnTextKey = "kelvastoNameKey";
// The name a pass derived; a later pass replaces it in the new language.
constexpr const char* kDerived = "kelvastoDerivedName";

bool HasWords(const QString& text) {
    for (const QChar c : text)
        if (c.isLetter())
            return true;
    return false;
}

// A caption as a name: no accelerator, no trailing colon, a single line.
QString AsName(const QString& caption) {
    QString name = WithoutMnemonic(caption).simplified();
    while (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name.trimmed();
}

QString CaptionOf(const QWidget* control) {
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    return control ? control->accessibleName() : QString();
}

QString QtName(QWidget* widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(QAccessible::Name) : QString();
}

const QLabel* LabelOf(const QWidget* control) {
    const QWidget* parent = control->parentWidget();
    if (!parent)
        return nullptr;
    for (const QLabel* label : parent->findChildren<QLabel*>())
        if (label->buddy() == control)
            return label;
    return nullptr;
}

// The caption of the page (tab) or window `widget` sits on. A tab widget
// keeps its pages in a stack of its own.
QString PlaceOf(const QWidget* widget) {
    for (const QWidget* page = widget; page; page = page->parentWidget()) {
        if (page->isWindow())
            return page->windowTitle();
        const QWidget* stack = page->parentWidget();
        if (auto* tabs = qobject_cast<const QTabWidget*>(stack ? stack->parentWidget() : nullptr))
            if (const int index = tabs->indexOf(const_cast<QWidget*>(page)); index >= 0)
                return tabs->tabText(index);
    }
    return QString();
}

// The name the explicit links give: NameBy(), a buddy label, NameByOwnText().
QString LinkedName(const QWidget* control) {
    const auto by = control->property(kNamedBy).value<QPointer<QWidget>>();
    if (by)
        return AsName(CaptionOf(by));
    if (const QLabel* label = LabelOf(control))
        return AsName(label->text());
    const QByteArray key = control->property(kOwnTextKey).toByteArray();
    return key.isEmpty() ? QString() : OwnText(key.constData());
}

QString FallbackName(QWidget* control) {
    if (auto* button = qobject_cast<QToolButton*>(control); button && button->defaultAction())
        if (const QString tip = AsName(button->defaultAction()->toolTip()); HasWords(tip))
            return tip;
    if (qobject_cast<QTabBar*>(control))
        if (const QString place = AsName(PlaceOf(control->parentWidget())); !place.isEmpty())
            return place;
    for (const QString& hint : {control->toolTip(), control->statusTip()})
        if (HasWords(hint))
            return AsName(hint);
    return QString();
}

void Name(QWidget* control) {
    QString name = LinkedName(control);
    if (name.isEmpty() && !HasWords(QtName(control)))
        name = FallbackName(control);
    if (name.isEmpty())
        return;
    control->setAccessibleName(name);
    control->setProperty(kDerived, name);
}

} // namespace

void NameBy(QWidget* control, QWidget* captionControl) {
    control->setProperty(kNamedBy, QVariant::fromValue(QPointer<QWidget>(captionControl)));
}

void NameByOwnText(QWidget* control, const char* key) {
    control->setProperty(kOwnTextKey, QByteArray(key));
}

bool IsNamedControl(const QWidget* widget) {
    for (const QWidget* up = widget->parentWidget(); up; up = up->parentWidget())
        if (qobject_cast<const QAbstractSpinBox*>(up) || qobject_cast<const QComboBox*>(up) ||
            qobject_cast<const QTabBar*>(up))
            return false;
    // A tab widget hands its focus to its tab bar, which is named.
    if (widget->focusProxy())
        return false;
    return (widget->focusPolicy() & Qt::TabFocus) || qobject_cast<const QProgressBar*>(widget);
}

void NameControls(QWidget& window) {
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    // Names of an earlier pass go first, so each is found anew.
    for (QWidget* widget : widgets)
        if (!widget->property(kDerived).toString().isEmpty() &&
            widget->accessibleName() == widget->property(kDerived).toString()) {
            widget->setAccessibleName(QString());
            widget->setProperty(kDerived, QString());
        }
    for (QWidget* widget : widgets)
        if (IsNamedControl(widget))
            Name(widget);
}
