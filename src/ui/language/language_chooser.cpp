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
#include <QGroupBox>
#include <QGuiApplication>
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

QLabel* picture(QWidget* parent, const char* name, const QPixmap& pixmap, QPoint at,
                const QString& hint) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setPixmap(pixmap);
    label->setGeometry(QRect(at, QSize(32, 32)));
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
    setFixedSize(kClientWidth, kClientHeight);
    buildControls();
}

void TfrmSprache::buildControls() {
    auto* background = new GradientPanel(this);
    background->setGeometry(0, 0, kClientWidth, kClientHeight);

    auto* panel = new QFrame(background);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setGeometry(24, 8, 216, 175);

    picture(panel, "Image1", stripes({Qt::black, QColor(221, 0, 0), QColor(255, 206, 0)}, true),
            {8, 24}, QStringLiteral("Sprache: deutsch"));
    picture(panel, "Image2", crossFlag(), {8, 60}, QStringLiteral("language: english"));
    picture(panel, "Image3", starsAndStripes(), {45, 60}, QString());
    picture(panel, "Image4", crossFlag(), {8, 95}, QStringLiteral("language: english"))->hide();

    auto* group = new QGroupBox(QStringLiteral("Sprache / Language"), panel);
    group->setObjectName(QStringLiteral("RadioGroup1"));
    group->setGeometry(83, 8, 120, 90);
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

    m_showAtStart = new QCheckBox(panel);
    m_showAtStart->setObjectName(QStringLiteral("CheckBox1"));
    m_showAtStart->setGeometry(8, 150, 180, 17);

    auto* ok =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QString(), background);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setGeometry(24, 200, 100, 30);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this,
            [this] { GuardedHandler(this, [&] { BitBtn1Click(); }); });

    auto* abort = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QString(),
                                  background);
    abort->setObjectName(QStringLiteral("BitBtn2"));
    abort->setGeometry(141, 200, 100, 30);
    connect(abort, &QPushButton::clicked, this,
            [this] { GuardedHandler(this, [&] { BitBtn2Click(); }); });
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
