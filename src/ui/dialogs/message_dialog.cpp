#include "ui/dialogs/message_dialog.h"

#include "app/error_handler.h"
#include "ui/dialogs/draw_gradient.h"
#include "ui/dialogs/message_layout.h"
#include "ui/dialogs/message_tables.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <optional>
#include <vector>

namespace {

MessageHelpHandler& HelpHandler() {
    static MessageHelpHandler handler;
    return handler;
}

QRect ScreenGeometry() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return screen->geometry();
    return QRect(0, 0, 1024, 768);
}

bool HasIcon(MessageKind kind) {
    return int(kind) >= 0 && int(kind) <= 3;
}

QStyle::StandardPixmap IconFor(MessageKind kind) {
    switch (kind) {
    case MessageKind::Warning:
        return QStyle::SP_MessageBoxWarning;
    case MessageKind::Error:
        return QStyle::SP_MessageBoxCritical;
    case MessageKind::Information:
        return QStyle::SP_MessageBoxInformation;
    default:
        return QStyle::SP_MessageBoxQuestion;
    }
}

QString TitleFor(MessageKind kind, std::optional<int> language) {
    if (kind == MessageKind::Custom)
        return QGuiApplication::applicationDisplayName();
    return MessageTitle(kind, language);
}

// A caption measured as one line; "&" marks the accelerator and takes no room.
int CaptionWidth(const QFontMetrics& metrics, const QString& caption) {
    return metrics.boundingRect(QRect(), Qt::TextSingleLine | Qt::TextShowMnemonic, caption)
        .width();
}

int CachedButtonWidth(DialogButton button, std::optional<int> language,
                      const QFontMetrics& metrics) {
    int& entry = ButtonWidthCache()[int(button)];
    if (entry == 0)
        entry = CaptionWidth(metrics, ButtonCaption(button, language)) + 8;
    return entry;
}

QSize MeasureMessage(const QFontMetrics& metrics, const QString& text, int maxWidth) {
    return metrics
        .boundingRect(QRect(0, 0, maxWidth, 0), Qt::TextWordWrap | Qt::TextExpandTabs, text)
        .size();
}

std::vector<DialogButton> RequestedButtons(DialogButtons buttons) {
    std::vector<DialogButton> requested;
    for (int b = 0; b < kDialogButtonCount; ++b)
        if (HasButton(buttons, DialogButton(b)))
            requested.push_back(DialogButton(b));
    return requested;
}

// The first of `candidates` that the dialog has, else none.
QPushButton* FirstPresent(const TMessageForm& form,
                          std::initializer_list<DialogButton> candidates) {
    for (DialogButton b : candidates)
        if (auto* button = form.findChild<QPushButton*>(ButtonControlName(b)))
            return button;
    return nullptr;
}

void AddIcon(TMessageForm& form, MessageKind kind, const QRect& place) {
    auto* image = new QLabel(&form);
    image->setObjectName(QStringLiteral("Image"));
    image->setPixmap(
        form.style()->standardIcon(IconFor(kind), nullptr, &form).pixmap(place.size()));
    image->setGeometry(place);
}

void AddMessage(TMessageForm& form, const QString& text, const QRect& place) {
    auto* label = new QLabel(&form);
    label->setObjectName(QStringLiteral("Message"));
    // Plain text: a file name with "<" or "&" must show as it is.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAutoFillBackground(true);
    label->setText(text);
    label->setGeometry(place);
}

void AddButton(TMessageForm& form, DialogButton kind, std::optional<int> language,
               const QRect& place) {
    auto* button = new QPushButton(ButtonCaption(kind, language), &form);
    button->setObjectName(ButtonControlName(kind));
    button->setGeometry(place);
    if (kind == DialogButton::Help) {
        QObject::connect(button, &QPushButton::clicked, &form,
                         [f = &form] { f->HelpButtonClick(); });
        return;
    }
    const int result = ButtonResult(kind);
    QObject::connect(button, &QPushButton::clicked, &form,
                     [f = &form, result] { f->done(result); });
}

void ChooseDefaultAndCancel(TMessageForm& form) {
    if (QPushButton* def =
            FirstPresent(form, {DialogButton::OK, DialogButton::Yes, DialogButton::Retry})) {
        def->setDefault(true);
        def->setFocus();
    }
    // Abort answers Escape before No and OK: Escape on a warning that can
    // cancel a job must never let the job go on.
    form.setCancelButton(FirstPresent(
        form, {DialogButton::Cancel, DialogButton::Abort, DialogButton::No, DialogButton::OK}));
}

int RunModal(TMessageForm& form) {
    const int result = form.exec();
    // A dialog hidden without a button (application quit, ...) counts as closed.
    return result == QDialog::Rejected ? DialogResult::Cancel : result;
}

} // namespace

QSize AverageCharSize(const QFontMetrics& metrics) {
    static const QString letters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return QSize(metrics.horizontalAdvance(letters) / 52, metrics.height());
}

std::array<int, kDialogButtonCount>& ButtonWidthCache() {
    static std::array<int, kDialogButtonCount> cache{};
    return cache;
}

void SetMessageHelpHandler(MessageHelpHandler handler) {
    HelpHandler() = std::move(handler);
}

TMessageForm::TMessageForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setModal(true);
}

void TMessageForm::HelpButtonClick() {
    GuardedHandler(this, [&] {
        if (HelpHandler())
            HelpHandler()(m_helpContext, m_helpFile);
    });
}

void TMessageForm::reject() {
    done(DialogResult::Cancel);
}

void TMessageForm::paintEvent(QPaintEvent*) {
    MessagePaint();
}

void TMessageForm::MessagePaint() {
    GuardedHandler(this, [&] {
        QPainter painter(this);
        DrawGradient(painter, rect(), true, WhiteToSilver());
    });
}

void TMessageForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_cancelButton)
            m_cancelButton->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

std::unique_ptr<TMessageForm> BuildMessageDialog(const QString& text, MessageKind kind,
                                                 DialogButtons buttons, const QString& language) {
    auto form = std::make_unique<TMessageForm>();
    form->setFont(QApplication::font("QMessageBox"));
    const QFontMetrics metrics(form->font());
    const std::optional<int> lang = MatchDialogLanguage(language);
    const QRect screen = ScreenGeometry();
    const std::vector<DialogButton> requested = RequestedButtons(buttons);

    MessageLayoutInput in;
    in.averageChar = AverageCharSize(metrics);
    for (DialogButton b : requested)
        in.cachedWidths.push_back(CachedButtonWidth(b, lang, metrics));
    in.textSize = MeasureMessage(metrics, text, screen.width() / 2);
    in.hasIcon = HasIcon(kind);
    in.screen = screen.size();
    const MessageLayout layout = LayOutMessageDialog(in);

    form->setFixedSize(layout.client);
    form->move(screen.topLeft() + layout.windowPos);
    form->setWindowTitle(TitleFor(kind, lang));
    if (in.hasIcon)
        AddIcon(*form, kind, layout.icon);
    AddMessage(*form, text, layout.message);
    for (std::size_t i = 0; i < requested.size(); ++i)
        AddButton(*form, requested[i], lang, layout.buttons[int(i)]);
    ChooseDefaultAndCancel(*form);
    return form;
}

int ShowMessageDialogAt(const QString& text, MessageKind kind, DialogButtons buttons,
                        int helpContext, int x, int y, const QString& helpFile,
                        const QString& language) {
    auto form = BuildMessageDialog(text, kind, buttons, language);
    form->setHelpContext(helpContext);
    form->setHelpFile(helpFile);
    QPoint place = form->pos();
    if (x >= 0)
        place.setX(x);
    if (y >= 0)
        place.setY(y);
    form->move(place);
    return RunModal(*form);
}

int ShowMessageDialog(const QString& text, MessageKind kind, DialogButtons buttons,
                      const QString& language, int helpContext) {
    return ShowMessageDialogAt(text, kind, buttons, helpContext, -1, -1, QString(), language);
}
