#include "ui/language/language_chooser.h"

#include "app/error_handler.h"
#include "base/errors.h"
#include "i18n/catalogue.h"
#include "settings/app_settings.h"
#include "ui/dialogs/gradient_panel.h"
#include "ui/language/accessible_names.h"
#include "ui/language/mnemonics.h"
#include "ui/widgets/tab_order.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// Flags drawn in code: no picture files to ship.
QPixmap stripes(const QList<QColor>& colours, bool horizontal) {
    QPixmap pixmap(32, 32);
    QPainter p(&pixmap);
    const int n = int(colours.size());
    for (int i = 0; i < n; ++i) {
        const QRect band = horizontal ? QRect(0, i * 32 / n, 32, (i + 1) * 32 / n - i * 32 / n)
                                      : QRect(i * 32 / n, 0, (i + 1) * 32 / n - i * 32 / n, 32);
        p.fillRect(band, colours[i]);
    }
    p.setPen(Qt::darkGray);
    p.drawRect(0, 0, 31, 31);
    return pixmap;
}

QPixmap crossFlag() {
    QPixmap pixmap(32, 32);
    pixmap.fill(QColor(0, 36, 125));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 6));
    p.drawLine(0, 0, 32, 32);
    p.drawLine(32, 0, 0, 32);
    p.setPen(QPen(QColor(207, 20, 43), 2));
    p.drawLine(0, 0, 32, 32);
    p.drawLine(32, 0, 0, 32);
    p.fillRect(13, 0, 6, 32, Qt::white);
    p.fillRect(0, 13, 32, 6, Qt::white);
    p.fillRect(14, 0, 4, 32, QColor(207, 20, 43));
    p.fillRect(0, 14, 32, 4, QColor(207, 20, 43));
    p.setPen(Qt::darkGray);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.drawRect(0, 0, 31, 31);
    return pixmap;
}

QPixmap starsAndStripes() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    for (int i = 0; i < 7; ++i)
        p.fillRect(0, i * 32 * 2 / 13, 32, 32 / 13 + 1, QColor(178, 34, 52));
    p.fillRect(0, 0, 14, 17, QColor(60, 59, 110));
    p.setPen(Qt::darkGray);
    p.drawRect(0, 0, 31, 31);
    return pixmap;
}

QLabel* picture(QWidget* parent, const char* name, const QPixmap& pixmap, const QString& hint) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setPixmap(pixmap);
    label->setFixedSize(32, 32);
    label->setToolTip(hint);
    return label;
}

} // namespace

TfrmSprache::TfrmSprache(AppSettings& settings, std::function<void()> applyLanguage,
                         QWidget* parent)
    : QDialog(parent), m_settings(settings), m_applyLanguage(std::move(applyLanguage)) {
    setObjectName(QStringLiteral("TfrmSprache"));
    setWindowTitle(QStringLiteral("Sprache auswählen"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setModal(true);
    buildControls();
}

void TfrmSprache::buildControls() {
    // Laid out, not placed: the captions take the room the desktop's font
    // gives them, and the dialog grows around them (FormShow).
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* background = new GradientPanel(this);
    outer->addWidget(background);
    auto* column = new QVBoxLayout(background);
    column->setContentsMargins(24, 8, 24, 12);
    column->setSpacing(16);

    auto* panel = new QFrame(background);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setSpacing(4);
    grid->setHorizontalSpacing(5);
    auto* flags = new QGridLayout;
    flags->setSpacing(4);
    flags->addWidget(picture(panel, "Image1",
                             stripes({Qt::black, QColor(221, 0, 0), QColor(255, 206, 0)}, true),
                             QStringLiteral("Sprache: deutsch")),
                     0, 0);
    flags->addWidget(picture(panel, "Image2", crossFlag(), QStringLiteral("language: english")), 1,
                     0);
    flags->addWidget(picture(panel, "Image3", starsAndStripes(), QString()), 1, 1);
    flags->addWidget(picture(panel, "Image4", crossFlag(), QStringLiteral("language: english")), 2,
                     0);
    panel->findChild<QLabel*>(QStringLiteral("Image4"))->hide();
    flags->setRowStretch(3, 1);
    grid->addLayout(flags, 0, 0, Qt::AlignTop);

    auto* group = new QGroupBox(QStringLiteral("Sprache / Language"), panel);
    group->setObjectName(QStringLiteral("RadioGroup1"));
    auto* layout = new QVBoxLayout(group);
    m_german = new QRadioButton(QStringLiteral("deutsch"), group);
    m_german->setObjectName(QStringLiteral("RadioGroup1_0"));
    m_english = new QRadioButton(QStringLiteral("english"), group);
    m_english->setObjectName(QStringLiteral("RadioGroup1_1"));
    layout->addWidget(m_german);
    layout->addWidget(m_english);
    auto* buttons = new QButtonGroup(group);
    buttons->addButton(m_german, 0);
    buttons->addButton(m_english, 1);
    grid->addWidget(group, 0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);

    m_showAtStart = new QCheckBox(panel);
    m_showAtStart->setObjectName(QStringLiteral("CheckBox1"));
    grid->addWidget(m_showAtStart, 2, 0, 1, 2);
    column->addWidget(panel, 1);

    auto* row = new QHBoxLayout;
    row->setSpacing(17);
    auto* ok =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QString(), background);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setMinimumSize(100, 30);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this,
            [this] { GuardedHandler(this, [&] { BitBtn1Click(); }); });
    row->addWidget(ok);

    auto* abort = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QString(),
                                  background);
    abort->setObjectName(QStringLiteral("BitBtn2"));
    abort->setMinimumSize(100, 30);
    connect(abort, &QPushButton::clicked, this,
            [this] { GuardedHandler(this, [&] { BitBtn2Click(); }); });
    row->addWidget(abort);
    column->addLayout(row);
}

void TfrmSprache::showEvent(QShowEvent* event) {
    GuardedHandler(this, [&] { FormShow(); });
    QDialog::showEvent(event);
}

void TfrmSprache::FormShow() {
    setWindowTitle(CatalogueText(CatalogueId::ChooseLanguage));
    findChild<QPushButton*>(QStringLiteral("BitBtn1"))
        ->setText(CatalogueText(CatalogueId::LanguageOk));
    findChild<QPushButton*>(QStringLiteral("BitBtn2"))
        ->setText(CatalogueText(CatalogueId::LanguageAbort));
    m_showAtStart->setText(CatalogueText(CatalogueId::ShowAtEveryStart));
    if (LanguageOffset() == 0)
        m_german->setChecked(true);
    else if (LanguageOffset() == 10000)
        m_english->setChecked(true);
    m_showAtStart->setChecked(m_settings.Sprachwahl);
    AddMnemonics(*this);
    NameControls(*this);
    ArrangeTabOrder(*this);
    // The design size, or larger where the captions need it.
    layout()->activate();
    setFixedSize(sizeHint().expandedTo(QSize(kClientWidth, kClientHeight)));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void TfrmSprache::BitBtn1Click() {
    const bool english = m_english->isChecked();
    SetLanguageOffset(english ? 10000 : 0);
    SetLanguageIndex(english ? 1 : 0);
    m_settings.Sprache = LanguageOffset();
    if (m_applyLanguage)
        m_applyLanguage();
    m_settings.Sprachwahl = m_showAtStart->isChecked();

    const bool written = SaveLanguageChoice(m_settings);
    // The new language is already applied; a store that cannot be written
    // keeps the dialog open so the user sees that the choice did not stick.
    if (!written)
        throw KelvastoError("the settings store cannot be written");
    accept();
}

void TfrmSprache::BitBtn2Click() {
    reject();
}
