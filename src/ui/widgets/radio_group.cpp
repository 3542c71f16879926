#include "ui/widgets/radio_group.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

RadioGroup::RadioGroup(const QString& name, QWidget* parent)
    : QGroupBox(parent), m_group(new QButtonGroup(this)), m_layout(new QVBoxLayout(this)) {
    setObjectName(name);
    m_group->setExclusive(true);
    m_layout->setContentsMargins(6, 4, 6, 4);
    m_layout->setSpacing(2);
    connect(m_group, &QButtonGroup::idClicked, this, &RadioGroup::itemIndexChanged);
}

void RadioGroup::clearItems() {
    for (QRadioButton* item : m_items) {
        m_group->removeButton(item);
        delete item;
    }
    m_items.clear();
}

void RadioGroup::addItem(const QString& text) {
    auto* item = new QRadioButton(text, this);
    item->setObjectName(objectName() + QLatin1Char('_') + QString::number(m_items.size()));
    m_group->addButton(item, int(m_items.size()));
    m_layout->addWidget(item);
    m_items.append(item);
}

void RadioGroup::setItems(const QStringList& texts) {
    const int keep = itemIndex();
    clearItems();
    for (const QString& text : texts)
        addItem(text);
    setItemIndex(keep);
}

QStringList RadioGroup::items() const {
    QStringList texts;
    for (const QRadioButton* item : m_items)
        texts.append(item->text());
    return texts;
}

int RadioGroup::itemIndex() const {
    return m_group->checkedId();
}

void RadioGroup::setItemIndex(int index) {
    if (index < 0 || index >= count()) {
        // An exclusive group cannot uncheck its last button directly.
        m_group->setExclusive(false);
        for (QRadioButton* item : m_items)
            item->setChecked(false);
        m_group->setExclusive(true);
        return;
    }
    m_items[index]->setChecked(true);
}
