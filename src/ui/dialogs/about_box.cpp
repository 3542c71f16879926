#include "ui/dialogs/about_box.h"

#include "app/open_with_program.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"
#include "ui/dialogs/gradient_panel.h"
#include "ui/dialogs/message_dialog.h"
#include "ui/features/guarded_connect.h"
#include "ui/language/accessible_names.h"
#include "ui/language/mnemonics.h"
#include "ui/widgets/tab_order.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QShowEvent>

namespace {

const QString kProgramName = QStringLiteral("Kelvasto V1.25");

} // namespace

TInfoF::TInfoF(QWidget* owner)
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint), m_owner(owner) {
    setObjectName(QStringLiteral("TInfoF"));
    setModal(true);
    setFixedSize(kWidth, kHeight);

    // The panel with its sunken inner frame fills the window; the gradient
    // fills the panel.
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setGeometry(0, 0, kWidth, kHeight);
    auto* gradient = new GradientPanel(panel);
    gradient->setObjectName(QStringLiteral("GradientFill1"));
    gradient->setGeometry(2, 2, kWidth - 4, kHeight - 4);

    m_title = new QLabel(gradient);
    m_title->setObjectName(QStringLiteral("Label01"));
    m_title->setAlignment(Qt::AlignCenter);
    QFont display = m_title->font();
    display.setPointSize(18);
    display.setBold(true);
    m_title->setFont(display);
    m_title->setGeometry((gradient->width() - 250) / 2, 24, 250, 48);
    m_licence = new QLabel(gradient);
    m_licence->setObjectName(QStringLiteral("LabelLizenz"));
    m_licence->setAlignment(Qt::AlignCenter);
    m_licence->setWordWrap(true);
    m_licence->setGeometry((gradient->width() - 250) / 2, 74, 250, 34);

    linkLabel(gradient, "URLLabel1", QStringLiteral("Homepage"), kMakerHomepage)
        ->setGeometry(16, 118, 120, 18);
    linkLabel(gradient, "URLLabel2", QStringLiteral("EMail"), kMakerMail)
        ->setGeometry(16, 142, 120, 18);

    m_close = new QPushButton(gradient);
    m_close->setObjectName(QStringLiteral("BitBtn1"));
    QFont bold = m_close->font();
    bold.setBold(true);
    m_close->setFont(bold);
    m_close->setCursor(Qt::PointingHandCursor);
    m_close->setDefault(true);
    m_close->setGeometry(gradient->width() - 75 - 16, gradient->height() - 25 - 14, 75, 25);
    ConnectGuarded(m_close, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    FormCreate();
}

QLabel* TInfoF::linkLabel(QWidget* parent, const char* name, const QString& caption,
                          const QString& target) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setText(caption);
    label->setToolTip(target);
    QFont font = label->font();
    font.setBold(true);
    font.setUnderline(true);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: #0000c0"));
    label->setCursor(Qt::PointingHandCursor);
    // Opened through the desktop's program for web pages and mail, detached;
    // the target is passed as one argument, never through a shell.
    // Tab reaches the links, Enter opens them.
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setText(QStringLiteral("<a href=\"%1\" style=\"color:#0000c0\">%2</a>")
                       .arg(target.toHtmlEscaped(), caption.toHtmlEscaped()));
    connect(label, &QLabel::linkActivated, this,
            [this](const QString& link) { GuardedHandler(this, [&] { URLLabelClick(link); }); });
    return label;
}

void TInfoF::URLLabelClick(const QString& link) {
    OpenLink(link, this, [link] {
        // Said rather than nothing happening; the address can be copied
        // from here into a program by hand.
        QString target = link;
        target.remove(QRegularExpression(QStringLiteral("^mailto:")));
        ShowMessageDialog(OwnText("about.linkFailed").arg(target), MessageKind::Information,
                          ButtonBit(DialogButton::OK), CurrentLanguageName());
    });
}

void TInfoF::FormCreate() {
    m_title->setText(kProgramName);
}

void TInfoF::FormShow() {
    m_title->setText(kProgramName);
    m_licence->setText(OwnText("about.licence"));
    // The language may have changed since the last showing. The box shows no
    // title bar; the title is what a screen reader announces it by.
    m_close->setText(CatalogueText(CatalogueId::Close));
    setWindowTitle(CatalogueText(CatalogueId::AboutInfo));
    AddMnemonics(*this);
    NameControls(*this);
    ArrangeTabOrder(*this);
}

void TInfoF::showEvent(QShowEvent* event) {
    GuardedHandler(this, [this] {
        FormShow();
        const QRect over = m_owner && m_owner->isVisible()
                               ? m_owner->frameGeometry()
                               : QGuiApplication::primaryScreen()->availableGeometry();
        move(over.center() - QPoint(kWidth / 2, kHeight / 2));
    });
    QDialog::showEvent(event);
}

void TInfoF::BitBtn1Click() {
    accept();
}
