// NBStatus01: the progress pages beside the series tabs, one visible at a
// time. Every counter starts at "0".

#include "ui/main_window/main_window_parts.h"

#include "ui/dialogs/gradient_panel.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

QLabel* Label(QWidget* parent, const char* name, const QString& text = {}) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

// Counters change once per file. A fixed size keeps a new number from
// asking the layouts for room: that request climbs up through the tab
// widgets, which then repaint the whole window every time.
QLabel* Counter(QWidget* parent, const char* name) {
    auto* label = Label(parent, name, QStringLiteral("0"));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const QFontMetrics metrics(label->font());
    label->setFixedSize(metrics.horizontalAdvance(QStringLiteral("0000000000")) + 2,
                        metrics.height());
    return label;
}

QProgressBar* Bar(QWidget* parent, const char* name) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setFixedHeight(14);
    return bar;
}

QPushButton* AbortButton(QWidget* parent, const char* name) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumHeight(26);
    return button;
}

// A page: title label on top, then rows of caption + counter, then a bar
// (optional) and the abort button at the bottom.
struct PageBuilder {
    QWidget* page;
    QGridLayout* grid;
    int row = 0;

    explicit PageBuilder(QWidget* notebook, const char* name)
        : page(new QWidget(notebook)), grid(new QGridLayout(page)) {
        page->setObjectName(QString::fromLatin1(name));
        grid->setContentsMargins(6, 6, 6, 6);
        grid->setVerticalSpacing(3);
        grid->setColumnStretch(0, 1);
    }
    void counterRow(const char* caption, const char* counter) {
        auto* label = Label(page, caption);
        label->setWordWrap(true);
        grid->addWidget(label, row, 0);
        grid->addWidget(Counter(page, counter), row++, 1);
    }
    void heading(const char* name) {
        auto* label = Label(page, name);
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
        grid->addWidget(label, row++, 0, 1, 2);
    }
    void widget(QWidget* w) { grid->addWidget(w, row++, 0, 1, 2); }
    void finish(const char* abort) {
        grid->setRowStretch(row++, 1);
        grid->addWidget(AbortButton(page, abort), row++, 0, 1, 2);
    }
};

// The program logo on the gradient: a stylised sheet of pictures and the name.
class LogoPage : public GradientPanel {
public:
    explicit LogoPage(QWidget* parent) : GradientPanel(parent, false) {
        setObjectName(QStringLiteral("NBStatus01Logo"));
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        GradientPanel::paintEvent(event);
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QPoint centre = rect().center();
        const QRect sheet(centre.x() - 36, centre.y() - 44, 72, 56);
        p.setPen(QPen(QColor(40, 40, 40), 1));
        p.setBrush(Qt::black);
        p.drawRoundedRect(sheet, 4, 4);
        const QColor cells[] = {QColor(230, 180, 60),  QColor(90, 150, 220),
                                QColor(200, 80, 70),   QColor(110, 180, 110),
                                QColor(180, 120, 200), QColor(240, 240, 240)};
        for (int i = 0; i < 6; ++i)
            p.fillRect(sheet.left() + 6 + (i % 3) * 21, sheet.top() + 6 + (i / 3) * 23, 18, 20,
                       cells[i]);
        QFont font = p.font();
        font.setPointSize(13);
        font.setBold(true);
        p.setFont(font);
        p.setPen(QColor(30, 50, 90));
        p.drawText(QRect(0, sheet.bottom() + 6, width(), 26), Qt::AlignCenter,
                   QStringLiteral("Kelvasto"));
    }
};

} // namespace

QStackedWidget* BuildProgressPages(QWidget* parent) {
    auto* notebook = new QStackedWidget(parent);
    notebook->setObjectName(QStringLiteral("NBStatus01"));
    notebook->setFrameShape(QFrame::StyledPanel);

    notebook->addWidget(new LogoPage(notebook));

    PageBuilder defects(notebook, "NBStatus01DefekteJPEGs");
    defects.counterRow("Label_DDS01", "Label_DDS02");
    defects.heading("Label_DDS03");
    defects.counterRow("Label_DDS04", "Label_DDS05");
    defects.counterRow("Label_DDS06", "Label_DDS07");
    defects.widget(Bar(defects.page, "ProgressBar_DDS01"));
    defects.finish("BitBtn_DDS02");
    notebook->addWidget(defects.page);

    PageBuilder reduction(notebook, "NBStatus01JPEGsVerkleinern");
    reduction.counterRow("Label_DV02", "Label_DV03");
    reduction.heading("Label_DV04");
    reduction.counterRow("Label_DV05", "Label_DV06");
    reduction.counterRow("Label_DV07", "Label_DV08");
    reduction.widget(Bar(reduction.page, "ProgressBar_DV01"));
    reduction.finish("BitBtn_DV02");
    notebook->addWidget(reduction.page);

    PageBuilder functions(notebook, "NBStatus01FktSonst");
    functions.heading("FktLabel01");
    functions.counterRow("FktLabel02", "FktLabel04");
    functions.counterRow("FktLabel03", "FktLabel05");
    functions.widget(Bar(functions.page, "FktProgressBar01"));
    functions.finish("FktBitBtn01");
    notebook->addWidget(functions.page);

    PageBuilder duplicates(notebook, "NBStatus01Duplikate");
    duplicates.counterRow("Label_Dup01", "Label_Dup02");
    duplicates.counterRow("Label_Dup03", "Label_Dup04");
    duplicates.counterRow("Label_Dup05", "Label_Dup06");
    duplicates.finish("BitBtnDupAbbrechen");
    auto* status = Label(duplicates.page, "DupStatusBar");
    status->setFrameShape(QFrame::StyledPanel);
    status->setFrameShadow(QFrame::Sunken);
    status->setMinimumHeight(19);
    duplicates.widget(status);
    notebook->addWidget(duplicates.page);

    notebook->setCurrentIndex(1);
    return notebook;
}

QWidget* BuildDuplicateResultPage(QWidget* parent) {
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("ErgebnisDuplikate"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* list = new QListWidget(page);
    list->setObjectName(QStringLiteral("ListBox_Dup02"));
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(list, 1);
    auto* bar = new QWidget(page);
    bar->setObjectName(QStringLiteral("PanelDup01"));
    auto* buttons = new QHBoxLayout(bar);
    for (const char* name : {"BitBtn_Dup01", "BitBtn_Dup02", "BitBtn_Dup03"}) {
        auto* button = new QPushButton(bar);
        button->setObjectName(QString::fromLatin1(name));
        button->setMinimumWidth(170);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    layout->addWidget(bar);
    return page;
}

QWidget* BuildHiddenListsPage(QWidget* parent) {
    // The lists themselves are string lists of the window model (BatchLists);
    // the page exists so that the notebook keeps its three pages.
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("Versteckt"));
    return page;
}
