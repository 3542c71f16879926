#include "ui/widgets/tab_order.h"

#include <QAbstractItemView>
#include <QAction>
#include <QGridLayout>
#include <QLayout>
#include <QMainWindow>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>

#include <algorithm>

namespace {

bool TakesTab(const QWidget* widget) {
    return widget->focusPolicy() & Qt::TabFocus;
}

class LayoutWalk {
public:
    QList<QWidget*> found;

    // `top`: the window itself, whose own children are walked.
    void widget(QWidget* w, bool top = false) {
        if (!w || (w->isWindow() && !top) || m_seen.contains(w))
            return;
        m_seen << w;
        if (auto* window = qobject_cast<QMainWindow*>(w))
            return widget(window->centralWidget());
        if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            take(tabs->tabBar());
            for (int i = 0; i < tabs->count(); ++i)
                widget(tabs->widget(i));
            return;
        }
        if (auto* stack = qobject_cast<QStackedWidget*>(w)) {
            for (int i = 0; i < stack->count(); ++i)
                widget(stack->widget(i));
            return;
        }
        if (auto* splitter = qobject_cast<QSplitter*>(w)) {
            for (int i = 0; i < splitter->count(); ++i)
                widget(splitter->widget(i));
            return;
        }
        if (auto* toolbar = qobject_cast<QToolBar*>(w)) {
            for (QAction* action : toolbar->actions())
                if (QWidget* button = toolbar->widgetForAction(action))
                    take(button);
            return;
        }
        auto* scroller = qobject_cast<QScrollArea*>(w);
        if (scroller && !qobject_cast<QAbstractItemView*>(w))
            return widget(scroller->widget());
        if (TakesTab(w))
            return take(w);
        if (w->layout())
            layout(w->layout());
        children(w);
    }

private:
    void take(QWidget* w) {
        if (w && TakesTab(w) && !found.contains(w))
            found << w;
    }

    void layout(QLayout* l) {
        QList<QLayoutItem*> items;
        for (int i = 0; i < l->count(); ++i)
            items << l->itemAt(i);
        if (auto* grid = qobject_cast<QGridLayout*>(l)) {
            auto cell = [grid](QLayoutItem* item) {
                int row = 0, column = 0, rows = 0, columns = 0;
                grid->getItemPosition(grid->indexOf(item), &row, &column, &rows, &columns);
                return std::pair{row, column};
            };
            std::stable_sort(items.begin(), items.end(),
                             [&](QLayoutItem* a, QLayoutItem* b) { return cell(a) < cell(b); });
        }
        for (QLayoutItem* item : items) {
            if (item->widget())
                widget(item->widget());
            else if (item->layout())
                layout(item->layout());
        }
    }

    // Children placed without a layout, by position.
    void children(QWidget* parent) {
        QList<QWidget*> loose;
        for (QObject* child : parent->children())
            if (auto* w = qobject_cast<QWidget*>(child); w && !m_seen.contains(w) && !w->isWindow())
                loose << w;
        std::stable_sort(loose.begin(), loose.end(), [](const QWidget* a, const QWidget* b) {
            return std::pair{a->y(), a->x()} < std::pair{b->y(), b->x()};
        });
        for (QWidget* w : loose)
            widget(w);
    }

    QList<QWidget*> m_seen;
};

} // namespace

QList<QWidget*> ControlsInLayoutOrder(QWidget& root) {
    LayoutWalk walk;
    walk.widget(&root, true);
    return walk.found;
}

void ArrangeTabOrder(QWidget& root) {
    const QList<QWidget*> controls = ControlsInLayoutOrder(root);
    for (qsizetype i = 1; i < controls.size(); ++i)
        QWidget::setTabOrder(controls.at(i - 1), controls.at(i));
}
