#include "ui/dialogs/select_dir_dialog.h"

#include "app/error_handler.h"
#include "i18n/own_texts.h"
#include "jobs/framework/dialog_types.h"
#include "ui/dialogs/draw_gradient.h"
#include "ui/dialogs/gradient_panel.h"
#include "ui/language/accessible_names.h"
#include "ui/dialogs/message_tables.h"
#include "ui/dialogs/select_dir_layout.h"
#include "ui/icons/theme_icons.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QTreeView>

#include <cmath>

namespace {

SelectDirTexts& Texts() {
    static SelectDirTexts texts;
    return texts;
}

const QScreen* Screen() {
    return QGuiApplication::primaryScreen();
}

QSize ScreenSize() {
    return Screen() ? Screen()->geometry().size() : QSize(1024, 768);
}

QPoint ScreenOrigin() {
    return Screen() ? Screen()->geometry().topLeft() : QPoint();
}

int ScreenDpi() {
    return Screen() ? int(std::lround(Screen()->logicalDotsPerInch())) : kDesignDpi;
}

// The prompt has room for two lines; a desktop font taller than that is
// stepped down until two lines fit, so the second line is never cut.
void FitTwoLines(QLabel& label, QFont font) {
    const int room = label.height();
    while (2 * QFontMetrics(font).lineSpacing() > room) {
        if (font.pointSizeF() > 6.0)
            font.setPointSizeF(font.pointSizeF() - 0.5);
        else if (font.pixelSize() > 8)
            font.setPixelSize(font.pixelSize() - 1);
        else
            break;
    }
    label.setFont(font);
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        QStyle::StandardPixmap glyph) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(parent->style()->standardIcon(glyph, nullptr, parent));
    return button;
}

} // namespace

const SelectDirTexts& SelectDirDialogTexts() {
    return Texts();
}

TSelectDirDlg::TSelectDirDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("SelectDirDlg"));
    setModal(true);
    setWindowTitle(Texts().caption);

    createLabel();
    createTree();
    createButtons();
    // The prompt names the tree for a screen reader.
    m_label->setBuddy(m_tree);
    NameControls(*this);
    setTabOrder(m_tree, m_ok);
    setTabOrder(m_ok, m_no);
    setTabOrder(m_no, m_abort);
    FormCreate();
}

void TSelectDirDlg::createLabel() {
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("LabelUeberschrift"));
    m_label->setTextFormat(Qt::PlainText);
    m_label->setWordWrap(true);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label->setText(Texts().prompt);
    UseGradientTextColour(*m_label);
}

void TSelectDirDlg::createTree() {
    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::Dirs | QDir::NoDotAndDotDot);
    // Folder icons as in the main window's tree.
    m_model->setIconProvider(&FileIcons());
    m_model->setRootPath(QStringLiteral("/"));
    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("ShellTreeView"));
    m_tree->setModel(m_model);
    m_tree->setHeaderHidden(true);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    // The model fills and sorts folders in the background, moving rows after
    // the preselection was scrolled into view; follow it until the user takes
    // over the tree.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this] { followSelection(); });
    connect(m_model, &QAbstractItemModel::layoutChanged, this, [this] { followSelection(); });
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] { followSelection(); });
    connect(m_tree, &QTreeView::pressed, this, [this] { m_followSelection = false; });
    connect(m_tree, &QTreeView::expanded, this, [this] {
        if (isVisible())
            m_followSelection = false;
    });
    connect(m_tree->verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this] { m_followSelection = false; });
}

void TSelectDirDlg::createButtons() {
    m_ok = MakeButton(this, "OKButton", Texts().okCaption, QStyle::SP_DialogOkButton);
    m_no = MakeButton(this, "NoButton", QString(), QStyle::SP_DialogNoButton);
    // The button has no caption; say what it does.
    m_no->setToolTip(OwnText("chooser.no_folder"));
    m_abort = MakeButton(this, "AbortButton", Texts().abortCaption, QStyle::SP_DialogCancelButton);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, [this] { OKButtonClick(); });
    connect(m_no, &QPushButton::clicked, this, [this] { NoButtonClick(); });
    connect(m_abort, &QPushButton::clicked, this, [this] { AbortButtonClick(); });
}

void TSelectDirDlg::FormCreate() {
    applyLayout(SelectDirLayoutFor(kDesignDpi, ScreenSize()));
    m_tree->setFocus();
}

void TSelectDirDlg::applyLayout(const SelectDirLayout& layout) {
    setFixedSize(layout.client);
    move(ScreenOrigin() + layout.windowPos);
    m_label->setGeometry(layout.label);
    FitTwoLines(*m_label, font());
    m_tree->setGeometry(layout.tree);
    m_ok->setGeometry(layout.okButton);
    m_no->setGeometry(layout.noButton);
    m_abort->setGeometry(layout.abortButton);
}

QModelIndex TSelectDirDlg::folderIndex(const QString& path) const {
    const QModelIndex index = m_model->index(path);
    if (!index.isValid() || !m_model->isDir(index) ||
        QDir::cleanPath(m_model->filePath(index)) != path)
        return {};
    return index;
}

void TSelectDirDlg::expandTo(const QModelIndex& index) {
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        m_tree->expand(up);
}

bool TSelectDirDlg::selectFolder(const QString& path) {
    const QModelIndex index = folderIndex(path);
    if (!index.isValid())
        return false;
    expandTo(index);
    m_tree->setCurrentIndex(index);
    m_followSelection = true;
    scrollToSelection();
    return true;
}

bool TSelectDirDlg::showFolder(const QString& path) {
    const QModelIndex index = folderIndex(path);
    if (!index.isValid())
        return false;
    expandTo(index);
    m_tree->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    m_followSelection = true;
    scrollToSelection();
    return true;
}

QString TSelectDirDlg::currentFolder() const {
    const QModelIndex current = m_tree->currentIndex();
    return current.isValid() ? m_model->filePath(current) : QString();
}

QString TSelectDirDlg::selectedFolder() const {
    const QModelIndexList rows = m_tree->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return QString();
    // A folder that vanished while the dialog was open has no usable path:
    // handing it on would make a job create a new folder there.
    const QString path = m_model->filePath(rows.first());
    return QFileInfo(path).isDir() ? path : QString();
}

void TSelectDirDlg::followSelection() {
    if (m_followSelection)
        scrollToSelection();
}

void TSelectDirDlg::scrollToSelection() {
    if (m_tree->currentIndex().isValid())
        m_tree->scrollTo(m_tree->currentIndex(), QAbstractItemView::PositionAtCenter);
}

void TSelectDirDlg::OKButtonClick() {
    done(DialogResult::OK);
}
void TSelectDirDlg::NoButtonClick() {
    done(DialogResult::No);
}
void TSelectDirDlg::AbortButtonClick() {
    done(DialogResult::Abort);
}

void TSelectDirDlg::paintEvent(QPaintEvent*) {
    FormPaint();
}

void TSelectDirDlg::FormPaint() {
    GuardedHandler(this, [&] {
        QPainter painter(this);
        DrawGradient(painter, rect(), true, WhiteToSilver());
    });
}

void TSelectDirDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The view lays out its rows only once shown; scroll then.
    QTimer::singleShot(0, this, [this] { followSelection(); });
}

bool ChooseDirectory(QString& directory, const QString& caption, const QString& prompt,
                     const QString& language, const QString& openAt) {
    SelectDirTexts& texts = Texts();
    texts.caption = caption;
    texts.prompt = prompt;
    texts.language = language;
    if (const auto lang = MatchDialogLanguage(language)) {
        texts.okCaption = ButtonCaption(DialogButton::OK, lang);
        texts.abortCaption = ButtonCaption(DialogButton::Abort, lang);
    }

    TSelectDirDlg dialog;
    const QString folder = PreselectedFolder(directory, QDir::currentPath());
    if (!folder.isEmpty() && !dialog.selectFolder(folder))
        dialog.selectFolder(QDir::currentPath());
    if (folder.isEmpty() && !openAt.isEmpty())
        dialog.showFolder(QDir::cleanPath(openAt));
    const int dpi = ScreenDpi();
    if (dpi != kDesignDpi)
        dialog.applyLayout(SelectDirLayoutFor(dpi, ScreenSize()));

    switch (dialog.exec()) {
    case DialogResult::OK:
        directory = dialog.selectedFolder();
        break;
    case DialogResult::No:
        directory.clear();
        break;
    default: // Abort, the close box, Escape: unchanged
        break;
    }
    return false;
}
