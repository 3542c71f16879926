#include "ui/widgets/counter_label.h"

#include "i18n/mnemonic_letters.h"

#include <QAccessibleWidget>

namespace {

class AccessibleCounter : public QAccessibleWidget {
public:
    explicit AccessibleCounter(CounterLabel* counter)
        : QAccessibleWidget(counter, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override {
        if (kind != QAccessible::Name)
            return QAccessibleWidget::text(kind);
        const auto* counter = static_cast<const CounterLabel*>(widget());
        if (!counter->accessibleName().isEmpty())
            return counter->accessibleName();
        const QLabel* caption = counter->caption();
        const QString name = caption ? WithoutMnemonic(caption->text()).trimmed() : QString();
        return name.isEmpty() ? counter->text() : name + QLatin1Char(' ') + counter->text();
    }
};

QAccessibleInterface* CounterFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("CounterLabel"))
        return new AccessibleCounter(static_cast<CounterLabel*>(object));
    return nullptr;
}

} // namespace

CounterLabel::CounterLabel(QWidget* parent) : QLabel(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(CounterFactory);
        return true;
    }();
    (void)installed;
}

QLabel* CounterLabel::caption() const {
    if (!parentWidget())
        return nullptr;
    for (QLabel* label : parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (label->buddy() == this)
            return label;
    return nullptr;
}
