#pragma once
// A captioned group of radio buttons whose items can be rebuilt from texts.
// The group carries the control name; item i is named "<group>_<i>", so tests
// and the language routine find each item by name.

#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QRadioButton;
class QVBoxLayout;

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& name, QWidget* parent = nullptr);

    // Removes every item.
    void clearItems();
    void addItem(const QString& text);
    void setItems(const QStringList& texts);
    int count() const { return int(m_items.size()); }
    QStringList items() const;

    // -1 when nothing is selected.
    int itemIndex() const;
    void setItemIndex(int index);

signals:
    void itemIndexChanged(int index);

private:
    QButtonGroup* m_group;
    QVBoxLayout* m_layout;
    QList<QRadioButton*> m_items;
};
