// NBStatus01: the progress pages beside the series tabs, one visible at a
// time, numbered as job_controls.h names them. Every counter starts at "0".

#include "ui/features/progress_pages.h"

#include "i18n/mnemonic_letters.h"
#include "jobs/framework/job_controls.h"
#include "ui/dialogs/gradient_panel.h"
#include "ui/language/accessible_names.h"
#include "ui/widgets/counter_label.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Marks the captions the progress panel must show on one line.
constexpr const char* kPanelCaption = "kelvastoPanelCaption";
constexpr int kDesignWidth = 200;
constexpr int kPageMargin = 6;

QLabel* Label(QWidget* parent, const QString& name, const QString& text = {}) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QLabel* Label(QWidget* parent, const char* name) {
    return Label(parent, QString::fromLatin1(name));
}

// Counters change once per file. A fixed size keeps a new number from
// asking the layouts for room: that request climbs up through the tab
// widgets, which then repaint the whole window every time.
QLabel* Counter(QWidget* parent, const QString& name) {
    auto* label = new CounterLabel(parent);
    label->setObjectName(name);
    label->setText(QStringLiteral("0"));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const QFontMetrics metrics(label->font());
    label->setFixedSize(metrics.horizontalAdvance(QStringLiteral("0000000000")) + 2,
                        metrics.height());
    return label;
}

QProgressBar* Bar(QWidget* parent, const QString& name) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(name);
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
    QLabel* lastHeading = nullptr;
    int row = 0;

    explicit PageBuilder(QWidget* notebook, const char* name)
        : page(new QWidget(notebook)), grid(new QGridLayout(page)) {
        page->setObjectName(QString::fromLatin1(name));
        grid->setContentsMargins(kPageMargin, kPageMargin, kPageMargin, kPageMargin);
        grid->setVerticalSpacing(3);
        grid->setColumnStretch(0, 1);
    }
    // The caption on a line of its own, the counter right-aligned below it:
    // beside each other, captions of both languages wrapped at different
    // places in the 200-pixel panel.
    // The caption is the counter's buddy: a screen reader names the number
    // by it.
    void counterRow(const char* caption, const QString& counter) {
        auto* label = Label(page, caption);
        label->setWordWrap(true);
        label->setProperty(kPanelCaption, true);
        grid->addWidget(label, row++, 0, 1, 2);
        QLabel* number = Counter(page, counter);
        label->setBuddy(number);
        grid->addWidget(number, row++, 1);
    }
    void heading(const char* name) {
        auto* label = Label(page, name);
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
        label->setProperty(kPanelCaption, true);
        grid->addWidget(label, row++, 0, 1, 2);
        lastHeading = label;
    }
    // The progress bar is named by the heading above it.
    void bar(QProgressBar* b) {
        if (lastHeading)
            lastHeading->setBuddy(b);
        widget(b);
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

// The caption's width plus a letter's room: a word-wrapping label breaks a
// line that fits to the pixel.
int CaptionWidth(const QLabel& label) {
    const QFontMetrics metrics = label.fontMetrics();
    return metrics.horizontalAdvance(WithoutMnemonic(label.text())) + metrics.averageCharWidth() +
           2 * label.margin();
}

// As wide as the widest caption of any page needs (so the panel does not
// change width from page to page), never narrower than designed: with a
// large desktop font the captions stay whole and the counters in sight.
class ProgressPanel : public QWidget {
public:
    explicit ProgressPanel(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("PanelSerien01"));
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        m_pages = BuildProgressPages(this);
        layout->addWidget(m_pages);
    }
    QSize sizeHint() const override { return {fittingWidth(), QWidget::sizeHint().height()}; }
    QSize minimumSizeHint() const override {
        return {fittingWidth(), QWidget::minimumSizeHint().height()};
    }

protected:
    bool event(QEvent* event) override {
        // A caption changed (language, font): the row beside must hear of it.
        if (event->type() == QEvent::LayoutRequest)
            updateGeometry();
        return QWidget::event(event);
    }

private:
    int fittingWidth() const {
        int widest = 0;
        for (const QLabel* label : m_pages->findChildren<QLabel*>())
            if (label->property(kPanelCaption).toBool())
                widest = std::max(widest, CaptionWidth(*label));
        const int room = widest + 2 * kPageMargin + 2 * m_pages->frameWidth();
        return std::max(kDesignWidth, room);
    }

    QStackedWidget* m_pages = nullptr;
};

} // namespace

QWidget* BuildProgressPanel(QWidget* parent) {
    return new ProgressPanel(parent);
}

QStackedWidget* BuildProgressPages(QWidget* parent) {
    auto* notebook = new QStackedWidget(parent);
    notebook->setObjectName(QStringLiteral("NBStatus01"));
    notebook->setFrameShape(QFrame::StyledPanel);

    notebook->addWidget(new LogoPage(notebook));

    const DefectScanControls& scan = kDefectScanControls;
    PageBuilder defects(notebook, "NBStatus01DefekteJPEGs");
    defects.counterRow("Label_DDS01", scan.defectsFound);
    defects.heading("Label_DDS03");
    defects.counterRow("Label_DDS04", scan.progress.total);
    defects.counterRow("Label_DDS06", scan.progress.done);
    defects.bar(Bar(defects.page, scan.progress.bar));
    defects.finish("BitBtn_DDS02");
    notebook->addWidget(defects.page);

    const ReductionControls& reduce = kReductionControls;
    PageBuilder reduction(notebook, "NBStatus01JPEGsVerkleinern");
    reduction.counterRow("Label_DV02", reduce.savings);
    reduction.heading("Label_DV04");
    reduction.counterRow("Label_DV05", reduce.progress.total);
    reduction.counterRow("Label_DV07", reduce.progress.done);
    reduction.bar(Bar(reduction.page, reduce.progress.bar));
    reduction.finish("BitBtn_DV02");
    notebook->addWidget(reduction.page);

    const ProgressControls& batch = kFunctionsControls.progress;
    PageBuilder functions(notebook, "NBStatus01FktSonst");
    functions.heading("FktLabel01");
    functions.counterRow("FktLabel02", batch.total);
    functions.counterRow("FktLabel03", batch.done);
    functions.bar(Bar(functions.page, batch.bar));
    functions.finish("FktBitBtn01");
    notebook->addWidget(functions.page);

    const DuplicatesControls& dup = kDuplicatesControls;
    PageBuilder duplicates(notebook, "NBStatus01Duplikate");
    duplicates.counterRow("Label_Dup01", dup.toCheck);
    duplicates.counterRow("Label_Dup03", dup.possible);
    duplicates.counterRow("Label_Dup05", dup.found);
    duplicates.finish("BitBtnDupAbbrechen");
    auto* status = Label(duplicates.page, dup.status);
    status->setFrameShape(QFrame::StyledPanel);
    status->setFrameShadow(QFrame::Sunken);
    status->setMinimumHeight(19);
    duplicates.widget(status);
    notebook->addWidget(duplicates.page);

    const SimilarControls& similar = kSimilarControls;
    PageBuilder pictures(notebook, "NBStatus01Aehnlich");
    pictures.counterRow("Label_Sim01", similar.progress.total);
    pictures.counterRow("Label_Sim03", similar.progress.done);
    // No heading above this bar to name it.
    QProgressBar* picturesBar = Bar(pictures.page, similar.progress.bar);
    NameByOwnText(picturesBar, "a11y.progress");
    pictures.widget(picturesBar);
    pictures.counterRow("Label_Sim05", similar.groupsFound);
    pictures.finish("BitBtnSimAbbrechen");
    notebook->addWidget(pictures.page);

    notebook->setCurrentIndex(kDefectScanPage);
    return notebook;
}
