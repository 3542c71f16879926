// The pieces the job pages are built from.

#include "ui/widgets/page_parts.h"

#include "ui/language/accessible_names.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>

namespace {
// Wide enough for a file name's stem or a folder's name to be read whole.
constexpr int kNameFieldWidth = 100;
constexpr int kFolderFieldWidth = 160;

// The destination group's choices, in the order they are read and tabbed:
// the first choice and its folder field, the second, the third and its
// sub-folder field.
QList<QWidget*> DestinationChoices(const QGroupBox& group) {
    const QString prefix = group.objectName().left(3);
    QList<QWidget*> choices;
    for (const char* name : {"ZielRadioButton01", "Zielverzeichnis", "ZielRadioButton02",
                             "ZielRadioButton03", "Unterverzeichnis"})
        choices << group.findChild<QWidget*>(prefix + QLatin1String(name));
    return choices;
}

// One choice below the other (beside the page's other controls), or across
// in two rows (below them).
void PlaceDestinationChoices(QGroupBox& group, bool across) {
    auto* grid = static_cast<QGridLayout*>(group.layout());
    const QList<QWidget*> choices = DestinationChoices(group);
    for (QWidget* choice : choices)
        grid->removeWidget(choice);
    if (across) {
        grid->addWidget(choices[0], 0, 0);
        grid->addWidget(choices[1], 0, 1, 1, 2);
        grid->addWidget(choices[2], 1, 0);
        grid->addWidget(choices[3], 1, 1);
        grid->addWidget(choices[4], 1, 2);
    } else {
        for (int row = 0; row < int(choices.size()); ++row)
            grid->addWidget(choices[row], row, 0);
    }
    grid->setColumnStretch(2, across ? 1 : 0);
}

// The width the group needs with its choices one below the other.
int StackedDestinationWidth(const QGroupBox& group) {
    int widest = 0;
    for (const QWidget* choice : DestinationChoices(group))
        widest =
            std::max(widest, choice->minimumSizeHint().expandedTo(choice->minimumSize()).width());
    const QMargins frame = group.contentsMargins();
    const QMargins inner = group.layout()->contentsMargins();
    return widest + frame.left() + frame.right() + inner.left() + inner.right();
}

// A job's push button at least as wide as the page's design gives it, and
// wider when its caption needs it (German, a large desktop font): a fixed
// minimum width would override the caption's own size hint and let the
// layout cut the caption.
class DesignWidthButton : public QPushButton {
public:
    DesignWidthButton(QWidget* parent, int designWidth)
        : QPushButton(parent), m_design(designWidth, 26) {}
    QSize sizeHint() const override { return QPushButton::sizeHint().expandedTo(m_design); }
    QSize minimumSizeHint() const override {
        return QPushButton::minimumSizeHint().expandedTo(m_design);
    }

private:
    QSize m_design;
};

// Watches the room a page gets (its own width, or the width of the stack
// it is a page of while another page is shown, so the window's height is
// settled before the page is first shown) and puts the destination group
// beside the page's other controls or below them.
class DestinationPlacer : public QObject {
public:
    DestinationPlacer(QWidget* page, QBoxLayout* row, QGroupBox* group)
        : QObject(page), m_page(page), m_parent(page->parentWidget()), m_row(row), m_group(group) {
        page->installEventFilter(this);
        if (m_parent)
            m_parent->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_page && event->type() == QEvent::ParentChange) {
            if (m_parent)
                m_parent->removeEventFilter(this);
            m_parent = m_page->parentWidget();
            if (m_parent)
                m_parent->installEventFilter(this);
        }
        const QEvent::Type type = event->type();
        if (type != QEvent::Resize && type != QEvent::LayoutRequest && type != QEvent::Show)
            return false;
        if (watched == m_page)
            place(m_page->width());
        else if (watched == m_parent)
            place(m_parent->contentsRect().width());
        return false;
    }

private:
    void place(int room) {
        const QMargins margins = m_row->contentsMargins();
        const int beside = m_row->itemAt(0)->minimumSize().width() + m_row->spacing() +
                           sideWidth() + margins.left() + margins.right();
        const bool below = room < beside;
        if (below == m_below)
            return;
        m_below = below;
        PlaceDestinationChoices(*m_group, below);
        m_row->setDirection(below ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
        // Below, the room left over goes under the group, not between it
        // and the rest.
        m_row->setStretch(0, below ? 0 : 1);
        m_row->setStretch(1, below ? 1 : 0);
    }

    // The side column's width with the group's choices one below the other.
    int sideWidth() const {
        QLayout* side = m_row->itemAt(1)->layout();
        int width = 0;
        for (int i = 0; i < side->count(); ++i) {
            QLayoutItem* item = side->itemAt(i);
            width = std::max(width, item->widget() == m_group ? StackedDestinationWidth(*m_group)
                                                              : item->minimumSize().width());
        }
        return width;
    }

    QWidget* m_page;
    QWidget* m_parent;
    QBoxLayout* m_row;
    QGroupBox* m_group;
    bool m_below = false;
};

} // namespace

namespace parts {
QPushButton* Button(QWidget* parent, const char* name, int designWidth) {
    return Named(new DesignWidthButton(parent, designWidth), name);
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

bool OpensChooser(const QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease)
        return true;
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
           key->key() == Qt::Key_Space;
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

QSpinBox* NumberEdit(QWidget* parent, const NumberOption& option, bool readOnly) {
    return UpDownEdit(parent, option.control, option.minimum, option.maximum, option.step,
                      option.fallback, readOnly);
}

void SetNumberLimits(QSpinBox* edit, const NumberOption& option) {
    edit->setRange(option.minimum, option.maximum);
    edit->setSingleStep(option.step);
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
    QRadioButton* chosen = radio(1);
    QRadioButton* source = radio(2);
    QRadioButton* below = radio(3);
    // Each field is named by the choice it belongs to.
    NameBy(field, chosen);
    NameBy(subFolder, below);
    grid->addWidget(chosen, 0, 0);
    grid->addWidget(field, 1, 0);
    grid->addWidget(source, 2, 0);
    grid->addWidget(below, 3, 0);
    grid->addWidget(subFolder, 4, 0);
    source->setChecked(true);
    return box;
}

void DestinationBesideOrBelow(QWidget* page, QBoxLayout* row, QGroupBox* group) {
    new DestinationPlacer(page, row, group);
}

QLabel* Caption(QWidget* parent, const char* name, QWidget* field) {
    auto* label = Named(new QLabel(parent), name);
    label->setBuddy(field);
    return label;
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

void KeepDesignHeight(QWidget* panel, int height) {
    // A fixed vertical policy takes the content's size hint, but never less
    // than the minimum.
    panel->setMinimumHeight(height);
    panel->setSizePolicy(panel->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
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
