#include "ui/dialogs/skipped_entries_dialog.h"

#include "fs/file_name_bytes.h"
#include "i18n/own_texts.h"
#include "ui/dialogs/message_dialog.h"
#include "ui/dialogs/message_layout.h"
#include "ui/dialogs/message_tables.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// A list far longer than anyone reads is cut, and says by how much.
constexpr qsizetype kMostLines = 5000;
constexpr int kVisibleLines = 14;

QString listText(const QList<SkippedEntry>& entries) {
    QStringList lines;
    const qsizetype shown = qMin(entries.size(), kMostLines);
    lines.reserve(shown + 1);
    for (qsizetype i = 0; i < shown; ++i)
        lines.append(
            OwnText("skiplist.entry").arg(ReadableName(entries.at(i).path), entries.at(i).reason));
    if (entries.size() > shown)
        lines.append(OwnText("skiplist.more").arg(entries.size() - shown));
    return lines.join(QLatin1Char('\n'));
}

QWidget* headingRow(TMessageForm& form, const QString& heading) {
    auto* row = new QWidget(&form);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* icon = new QLabel(row);
    icon->setObjectName(QStringLiteral("Image"));
    icon->setPixmap(form.style()
                        ->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, &form)
                        .pixmap(kMessageIconSize, kMessageIconSize));
    layout->addWidget(icon, 0, Qt::AlignTop);
    auto* message = new QLabel(row);
    message->setObjectName(QStringLiteral("Message"));
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    message->setText(heading);
    layout->addWidget(message, 1);
    return row;
}

QPlainTextEdit* entryList(TMessageForm& form, const QList<SkippedEntry>& entries) {
    auto* list = new QPlainTextEdit(&form);
    list->setObjectName(QStringLiteral("SkippedEntries"));
    list->setReadOnly(true);
    // A long name and its reason wrap rather than hide behind a scroll bar.
    list->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    list->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    list->setPlainText(listText(entries));
    const QFontMetrics metrics(list->font());
    list->setMinimumHeight(metrics.lineSpacing() * kVisibleLines);
    return list;
}

} // namespace

std::unique_ptr<TMessageForm> BuildSkippedEntriesDialog(const QList<SkippedEntry>& entries,
                                                        const QString& language) {
    auto form = std::make_unique<TMessageForm>();
    form->setFont(QApplication::font("QMessageBox"));
    const std::optional<int> lang = MatchDialogLanguage(language);
    form->setWindowTitle(MessageTitle(MessageKind::Warning, lang));
    // The form is fixed-size like every message; this one takes room for
    // its list and may be made larger.
    form->setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, false);
    form->setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(form.get());
    layout->addWidget(headingRow(*form, OwnText("skiplist.heading").arg(entries.size())));
    QPlainTextEdit* list = entryList(*form, entries);
    layout->addWidget(list, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* ok = new QPushButton(ButtonCaption(DialogButton::OK, lang), form.get());
    ok->setObjectName(ButtonControlName(DialogButton::OK));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, form.get(),
                     [f = form.get()] { f->done(DialogResult::OK); });
    buttons->addWidget(ok);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    form->setCancelButton(ok);
    ok->setFocus();

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    form->resize(qMin(area.width() * 3 / 5, 760), form->sizeHint().height());
    form->move(area.center() - form->rect().center());
    return form;
}

void ShowSkippedEntriesDialog(const QList<SkippedEntry>& entries, const QString& language) {
    const std::unique_ptr<TMessageForm> form = BuildSkippedEntriesDialog(entries, language);
    form->exec();
}
