// The pieces the job pages are built from.

#include "ui/widgets/page_parts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

namespace {
// Wide enough for a file name's stem or a folder's name to be read whole.
constexpr int kNameFieldWidth = 100;
constexpr int kFolderFieldWidth = 160;

} // namespace

namespace parts {
QPushButton* Button(QWidget* parent, const char* name, int minimumWidth) {
    auto* button = Named(new QPushButton(parent), name);
    button->setMinimumWidth(minimumWidth);
    button->setMinimumHeight(26);
    return button;
}
int Tag(const QWidget* widget) {
    return widget ? widget->property("Tag").toInt() : 0;
}
void SetTag(QWidget* widget, int tag) {
    widget->setProperty("Tag", tag);
}
QLineEdit* ReadOnlyField(QWidget* parent, const char* name) {
    auto* field = Named(new QLineEdit(parent), name);
    field->setReadOnly(true);
    field->setCursor(Qt::PointingHandCursor);
    return field;
}

// An edit with up-down arrows; the user changes it by the arrows only.
QSpinBox* UpDownEdit(QWidget* parent, const char* name, int minimum, int maximum, int step,
                     int value, bool readOnly) {
    auto* edit = Named(new QSpinBox(parent), name);
    edit->setRange(minimum, maximum);
    edit->setSingleStep(step);
    edit->setValue(value);
    edit->setReadOnly(false);
    edit->setMinimumWidth(56);
    if (readOnly)
        edit->findChild<QLineEdit*>()->setReadOnly(true);
    return edit;
}

// Two speed buttons of one group, the first down.
void SpeedButtonPair(QWidget* parent, QBoxLayout* layout, const char* first, const char* second) {
    auto* group = new QButtonGroup(parent);
    for (const char* name : {first, second}) {
        auto* button = Named(new QToolButton(parent), name);
        button->setCheckable(true);
        button->setMinimumWidth(110);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        group->addButton(button);
        layout->addWidget(button);
    }
    group->buttons().first()->setChecked(true);
    layout->addStretch();
}

// The destination group shared by the index page and the batch-functions page.
QGroupBox* DestinationGroup(QWidget* parent, const QString& prefix) {
    auto* box = new QGroupBox(parent);
    box->setObjectName(prefix + (prefix == QLatin1String("Idx") ? QStringLiteral("GroupBox03")
                                                                : QStringLiteral("GroupBox01")));
    auto* grid = new QGridLayout(box);
    grid->setVerticalSpacing(3);
    auto radio = [&](int n) {
        auto* button = new QRadioButton(box);
        button->setObjectName(prefix + QStringLiteral("ZielRadioButton0") + QString::number(n));
        return button;
    };
    auto* field = new QLineEdit(box);
    field->setObjectName(prefix + QStringLiteral("Zielverzeichnis"));
    field->setReadOnly(true);
    field->setCursor(Qt::PointingHandCursor);
    field->setMinimumWidth(kFolderFieldWidth);
    auto* subFolder = new QLineEdit(QStringLiteral("Index"), box);
    subFolder->setObjectName(prefix + QStringLiteral("Unterverzeichnis"));
    subFolder->setMinimumWidth(kNameFieldWidth);
    QRadioButton* source = radio(2);
    grid->addWidget(radio(1), 0, 0);
    grid->addWidget(field, 1, 0);
    grid->addWidget(source, 2, 0);
    grid->addWidget(radio(3), 3, 0);
    grid->addWidget(subFolder, 4, 0);
    source->setChecked(true);
    return box;
}

// A short text field of a naming group.
QLineEdit* NameEdit(QWidget* parent, const char* name) {
    auto* edit = Named(new QLineEdit(parent), name);
    edit->setMinimumWidth(kNameFieldWidth);
    return edit;
}

QCheckBox* Rekursiv(QWidget* parent, const char* name) {
    return Named(new QCheckBox(parent), name);
}

} // namespace parts

DestinationChoice ReadDestinationGroup(const QWidget& window, const QString& prefix) {
    auto control = [&window, &prefix](const char* name) {
        return window.findChild<QWidget*>(prefix + QString::fromLatin1(name));
    };
    DestinationChoice choice;
    if (static_cast<QRadioButton*>(control("ZielRadioButton01"))->isChecked())
        choice.kind = DestinationKind::SetFolder;
    else if (static_cast<QRadioButton*>(control("ZielRadioButton03"))->isChecked())
        choice.kind = DestinationKind::SubFolder;
    choice.setFolder = static_cast<QLineEdit*>(control("Zielverzeichnis"))->text();
    choice.subFolder = static_cast<QLineEdit*>(control("Unterverzeichnis"))->text();
    return choice;
}
