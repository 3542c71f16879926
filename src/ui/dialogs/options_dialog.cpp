#include "ui/dialogs/options_dialog.h"

#include "base/errors.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"
#include "imaging/picture_files.h"
#include "imaging/qimage_convert.h"
#include "settings/app_settings.h"
#include "ui/dialogs/file_dialog_locale.h"
#include "ui/dialogs/gradient_panel.h"
#include "ui/dialogs/select_dir_dialog.h"
#include "ui/features/guarded_connect.h"
#include "ui/file_list/textures.h"
#include "ui/language/accessible_names.h"
#include "ui/language/mnemonics.h"
#include "ui/main_window/browser_controller.h"
#include "ui/main_window/hauptform.h"
#include "ui/main_window/preview_controller.h"
#include "ui/widgets/tab_order.h"
#include "ui/widgets/elided_path_field.h"
#include "ui/widgets/step_spin_box.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

// The sixteen standard colours of the palette, as stored: 0x00BBGGRR.
const std::array<TextColourEntry, 16> kTextColours = {{
    {0x000000, "options.colour.black"},
    {0x000080, "options.colour.maroon"},
    {0x008000, "options.colour.green"},
    {0x008080, "options.colour.olive"},
    {0x800000, "options.colour.navy"},
    {0x800080, "options.colour.purple"},
    {0x808000, "options.colour.teal"},
    {0x808080, "options.colour.grey"},
    {0xC0C0C0, "options.colour.silver"},
    {0x0000FF, "options.colour.red"},
    {0x00FF00, "options.colour.lime"},
    {0x00FFFF, "options.colour.yellow"},
    {0xFF0000, "options.colour.blue"},
    {0xFF00FF, "options.colour.fuchsia"},
    {0xFFFF00, "options.colour.aqua"},
    {0xFFFFFF, "options.colour.white"},
}};

namespace {

template <class T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QToolButton* DotsButton(QWidget* parent, const char* name) {
    auto* button = Named(new QToolButton(parent), name);
    button->setText(QStringLiteral("..."));
    button->setFixedSize(22, 22);
    return button;
}

// A path's end says more than its start: "/home/anna/Bilder/..." hides the
// folder that was chosen.
QLineEdit* PathField(QWidget* parent, const char* name) {
    return Named(new ElidedPathField(parent), name);
}

QPixmap Swatch(const QColor& colour) {
    QPixmap pixmap(16, 12);
    pixmap.fill(colour);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 15, 11);
    return pixmap;
}

// What a preview shows: the top left of the tile, repeated where the tile is
// smaller than the preview.
QPixmap Preview(const QImage& tile) {
    QPixmap pixmap(100, 50);
    QPainter painter(&pixmap);
    painter.fillRect(pixmap.rect(), QBrush(tile));
    return pixmap;
}

} // namespace

TFormOptionen::TFormOptionen(THauptForm& window)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_window(window) {
    setObjectName(QStringLiteral("TFormOptionen"));
    setModal(true);
    resize(kWidth, kHeight);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* panel = Named(new QFrame(this), "OptPanel01");
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    outer->addWidget(panel);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);

    m_tabs = Named(new QTabWidget(panel), "OptPageControl01");
    m_tabs->setFixedHeight(246);
    m_tabs->addTab(buildBasicTab(), QString());
    m_tabs->addTab(buildSurfaceTab(), QString());
    layout->addWidget(m_tabs);

    auto* gradient = Named(new GradientPanel(panel), "OptGradientFill01");
    auto* buttons = new QHBoxLayout(gradient);
    buttons->addStretch(1);
    auto* ok = Named(new QPushButton(gradient), "OptBitBtn01");
    ok->setDefault(true);
    auto* abort = Named(new QPushButton(gradient), "OptBitBtn02");
    buttons->addWidget(ok);
    buttons->addWidget(abort);
    layout->addWidget(gradient, 1);

    // The buttons close the dialog after their handler, whatever the
    // handler did: a failed texture load or store write ends it early.
    connect(ok, &QPushButton::clicked, this, [this] {
        GuardedHandler(this, [this] { OptBitBtn01Click(); });
        accept();
    });
    connect(abort, &QPushButton::clicked, this, [this] {
        GuardedHandler(this, [this] { OptBitBtn02Click(); });
        reject();
    });
    FormCreate();
    // Laid out for the texts before it first shows.
    applyTexts();
}

QWidget* TFormOptionen::buildBasicTab() {
    auto* page = Named(new QWidget(m_tabs), "TabSheet1");
    auto* grid = new QGridLayout(page);
    grid->setColumnStretch(0, 1);
    int row = 0;
    auto folderRow = [&](const char* label, QLineEdit*& field, const char* fieldName,
                         const char* buttonName, void (TFormOptionen::*handler)()) {
        grid->addWidget(Named(new QLabel(page), label), row++, 0, 1, 3);
        field = PathField(page, fieldName);
        grid->addWidget(field, row, 0);
        QToolButton* button = DotsButton(page, buttonName);
        grid->addWidget(button, row++, 1);
        ConnectGuarded(button, &QToolButton::clicked, this,
                       [this, handler] { (this->*handler)(); });
    };
    folderRow("LabelG01", m_workingFolder, "EditArbeitsverzeichnis", "SpeedButton01",
              &TFormOptionen::SpeedButton01Click);
    folderRow("LabelG02", m_startFolder, "EditStartverzeichnis", "SpeedButton02",
              &TFormOptionen::SpeedButton02Click);
    grid->addWidget(Named(new QLabel(page), "LabelG03"), row++, 0, 1, 3);
    m_logName = Named(new QLineEdit(page), "EditNameProtokolldatei");
    m_logName->setFixedWidth(250);
    grid->addWidget(m_logName, row++, 0);
    m_hidden = Named(new QCheckBox(page), "CBVersteckt");
    grid->addWidget(m_hidden, row++, 0, 1, 3);
    m_listThumbnails = Named(new QCheckBox(page), "CheckBoxListeVorschaubilder");
    grid->addWidget(m_listThumbnails, row++, 0, 1, 3);
    m_screen = Named(new QCheckBox(page), "CBBildschirmEinstellungen");
    grid->addWidget(m_screen, row++, 0, 1, 3);
    grid->setRowStretch(row, 1);
    return page;
}

QWidget* TFormOptionen::buildSurfaceTab() {
    auto* page = Named(new QWidget(m_tabs), "TabSheet2");
    auto* row = new QHBoxLayout(page);
    row->addWidget(buildPopUpGroup(page), 1);
    row->addWidget(buildBackgroundGroup(page));
    return page;
}

QWidget* TFormOptionen::buildPopUpGroup(QWidget* parent) {
    auto* group = Named(new QGroupBox(parent), "OptGroupBox01");
    auto* column = new QVBoxLayout(group);
    column->addWidget(Named(new QLabel(group), "LabelOb01"));
    m_popUps = Named(new QCheckBox(group), "PopUpThumbLinks");
    column->addWidget(m_popUps);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(Named(new QLabel(group), "LabelOb02"));
    // Typed or set by the arrows, the size keeps to 50..500 in steps of 5.
    m_popUpSize = Named(new StepSpinBox(group), "ThumbHintUpDown");
    m_popUpSize->setRange(50, 500);
    m_popUpSize->setSingleStep(5);
    if (auto* field = m_popUpSize->findChild<QLineEdit*>())
        field->setObjectName(QStringLiteral("ThumbHintGroesse"));
    sizeRow->addWidget(m_popUpSize);
    sizeRow->addStretch(1);
    column->addLayout(sizeRow);
    auto* translucent = Named(new QLabel(group), "LabelOb03");
    translucent->setAlignment(Qt::AlignHCenter);
    column->addWidget(translucent);
    m_opacity = Named(new QSlider(Qt::Horizontal, group), "OptionenTrackBar01");
    m_opacity->setRange(0, 255);
    m_opacity->setTickInterval(5);
    m_opacity->setTickPosition(QSlider::TicksBelow);
    column->addWidget(m_opacity);
    auto* ends = new QHBoxLayout;
    ends->addWidget(Named(new QLabel(group), "LabelOb04"));
    ends->addStretch(1);
    ends->addWidget(Named(new QLabel(group), "LabelOb05"));
    column->addLayout(ends);
    column->addStretch(1);
    return group;
}

QWidget* TFormOptionen::buildBackgroundGroup(QWidget* parent) {
    auto* group = Named(new QGroupBox(parent), "OptGroupBox02");
    auto* column = new QVBoxLayout(group);
    column->addWidget(Named(new QLabel(group), "LabelOb06"));
    m_scrollBox = Named(new QScrollArea(group), "ScrollBoxHL");
    m_scrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab goes to the choices inside; the box scrolls to the focused one.
    m_scrollBox->setFocusPolicy(Qt::NoFocus);
    auto* inside = new QWidget;
    // Each choice is one row: its button and, beside it, its picture or,
    // below it, the own texture's file and text colour. A picture between
    // two buttons read as belonging to the one above it.
    auto* items = new QGridLayout(inside);
    items->setContentsMargins(4, 4, 4, 4);
    items->setHorizontalSpacing(6);
    items->setVerticalSpacing(4);
    auto* buttons = new QButtonGroup(this);
    auto radio = [&](int texture) {
        const QByteArray name = "HL_RadioButton0" + QByteArray::number(texture + 1);
        auto* button = Named(new QRadioButton(inside), name.constData());
        buttons->addButton(button, texture);
        m_textureButtons[std::size_t(texture)] = button;
        return button;
    };
    int row = 0;
    items->addWidget(radio(0), row++, 0, 1, 2);
    for (int n = 1; n <= 5; ++n) {
        items->addWidget(radio(n), row, 0);
        const QByteArray name = "HL_Image0" + QByteArray::number(n);
        auto* preview = Named(new QLabel(inside), name.constData());
        preview->setFixedSize(102, 52);
        preview->setStyleSheet(QStringLiteral("border: 1px solid black"));
        // A click on the picture chooses it, as on its button.
        preview->installEventFilter(this);
        m_previewLabels[std::size_t(n - 1)] = preview;
        items->addWidget(preview, row++, 1);
    }
    auto* separator = new QFrame(inside);
    separator->setFrameShape(QFrame::HLine);
    items->addWidget(separator, row++, 0, 1, 2);
    items->addWidget(radio(kOwnTexture), row++, 0, 1, 2);
    auto* pathRow = new QHBoxLayout;
    m_texturePath = PathField(inside, "HL_Edit01");
    pathRow->addWidget(m_texturePath, 1);
    QToolButton* choose = DotsButton(inside, "HL_SpeedButton01");
    ConnectGuarded(choose, &QToolButton::clicked, this, [this] { HL_SpeedButton01Click(); });
    pathRow->addWidget(choose);
    items->addLayout(pathRow, row++, 0, 1, 2);
    m_colours = Named(new QComboBox(inside), "HL_ColorBox01");
    auto* colourLabel = Named(new QLabel(inside), "HL_LabelFarbe");
    colourLabel->setBuddy(m_colours);
    items->addWidget(colourLabel, row++, 0, 1, 2);
    items->addWidget(m_colours, row++, 0, 1, 2);
    items->setRowStretch(row, 1);
    m_scrollBox->setWidget(inside);
    m_scrollBox->setMinimumHeight(161);
    column->addWidget(m_scrollBox, 1);
    return group;
}

void TFormOptionen::fitBackgroundList() {
    // As wide as the longest button beside its picture needs in the
    // current language; the dialog widens with it where it must.
    QWidget* inside = m_scrollBox->widget();
    // Captions set while the dialog is hidden leave the layout's sizes stale.
    inside->layout()->invalidate();
    const QSize wanted = inside->layout()->sizeHint();
    const int boxWidth = wanted.width() + 2 * m_scrollBox->frameWidth() +
                         m_scrollBox->verticalScrollBar()->sizeHint().width();
    // Only a change of size reaches the window system.
    if (inside->minimumSize() == wanted && m_scrollBox->minimumWidth() == boxWidth)
        return;
    inside->setFixedSize(wanted);
    m_scrollBox->setFixedWidth(boxWidth);
    layout()->activate();
    resize(std::max(width(), minimumSizeHint().width()), height());
}

bool TFormOptionen::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress)
        for (std::size_t n = 0; n < m_previewLabels.size(); ++n)
            if (watched == m_previewLabels[n])
                m_textureButtons[n + 1]->setChecked(true);
    return QDialog::eventFilter(watched, event);
}

void TFormOptionen::FormCreate() {
    for (int n = 1; n <= 5; ++n) {
        m_previews[std::size_t(n - 1)] = BuiltInTexture(n);
        m_previewLabels[std::size_t(n - 1)]->setPixmap(Preview(m_previews[std::size_t(n - 1)]));
    }
    linkCaptions();
}

void TFormOptionen::linkCaptions() {
    // Each field is reached and named by the caption above or beside it.
    const std::pair<const char*, QWidget*> buddies[] = {
        {"LabelG01", m_workingFolder}, {"LabelG02", m_startFolder}, {"LabelG03", m_logName},
        {"LabelOb02", m_popUpSize},    {"LabelOb03", m_opacity},
    };
    for (const auto& [label, field] : buddies)
        findChild<QLabel*>(QString::fromLatin1(label))->setBuddy(field);
    NameBy(m_texturePath, m_textureButtons[kOwnTexture]);
    NameByOwnText(m_colours, "options.colourHint");
}

void TFormOptionen::showEvent(QShowEvent* event) {
    GuardedHandler(this, [this] {
        FormShow();
        // Centred over the main window.
        const QRect over = m_window.frameGeometry();
        if (m_window.isVisible())
            move(over.center() - QPoint(width() / 2, height() / 2));
    });
    QDialog::showEvent(event);
}

void TFormOptionen::FormShow() {
    const AppSettings& s = m_window.settings();
    m_workingFolder->setText(s.Arbeitsverzeichnis);
    m_startFolder->setText(s.Startverzeichnis);
    m_logName->setText(s.Protokolldatei);
    m_hidden->setChecked(s.VerstecktAnzeigen);
    m_listThumbnails->setChecked(s.ListeVorschaubilder);
    m_screen->setChecked(s.BildschirmSpeichern);
    m_popUps->setChecked(s.ThumbLinks);
    m_popUpSize->setValue(s.ThumbHintGroesse); // kept within 50..500
    m_opacity->setValue(s.ThumbTransparenz);
    // A number above 6 selects none; the group is exclusive, so it is
    // lifted while every button is cleared.
    auto* group = m_textureButtons[0]->group();
    group->setExclusive(false);
    for (std::size_t n = 0; n < m_textureButtons.size(); ++n)
        m_textureButtons[n]->setChecked(n == s.SLVTextur01);
    group->setExclusive(true);
    m_texturePath->setText(s.SLVTexturPfad01);
    m_texturePath->setToolTip(s.SLVTexturPfad01);
    applyTexts();
    selectColour(s.SLVFontColor01);
    m_scrollBox->verticalScrollBar()->setValue(0);
}

void TFormOptionen::applyTexts() {
    auto caption = [this](const char* name, int id) {
        QWidget* widget = findChild<QWidget*>(QString::fromLatin1(name));
        const QString text = CatalogueText(id);
        if (auto* label = qobject_cast<QLabel*>(widget))
            label->setText(text);
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            button->setText(text);
    };
    auto hint = [this](const char* name, int id) {
        findChild<QWidget*>(QString::fromLatin1(name))->setToolTip(CatalogueText(id));
    };
    caption("LabelG01", 1104);
    caption("LabelG02", 1105);
    caption("LabelG03", 1106);
    hint("SpeedButton01", 1107);
    hint("SpeedButton02", 1108);
    caption("CBVersteckt", 1109);
    hint("CBVersteckt", 1110);
    caption("CBBildschirmEinstellungen", 1111);
    hint("CBBildschirmEinstellungen", 1112);
    caption("LabelOb01", 1113);
    caption("LabelOb02", 1114);
    caption("LabelOb03", 1115);
    caption("LabelOb04", 1116);
    caption("LabelOb05", 1117);
    caption("PopUpThumbLinks", 1118);
    hint("PopUpThumbLinks", 1119);
    caption("LabelOb06", 1120);
    for (int button = 0; button <= kOwnTexture; ++button)
        m_textureButtons[std::size_t(button)]->setText(CatalogueText(1121 + button));
    hint("HL_SpeedButton01", 1128);
    caption("OptBitBtn01", 1129);
    hint("OptBitBtn01", 1130);
    caption("OptBitBtn02", 1131);
    hint("OptBitBtn02", 1132);
    setWindowTitle(CatalogueText(1133));
    m_tabs->setTabText(0, CatalogueText(1134));
    m_tabs->setTabText(1, CatalogueText(1135));
    m_colours->setToolTip(OwnText("options.colourHint"));
    findChild<QLabel*>(QStringLiteral("HL_LabelFarbe"))->setText(OwnText("options.colourLabel"));
    fitBackgroundList();
    m_listThumbnails->setText(OwnText("listThumbnails.option"));
    m_listThumbnails->setToolTip(OwnText("listThumbnails.option.hint"));
    NameControls(*this);
    AddMnemonics(*this);
    ArrangeTabOrder(*this);
}

void TFormOptionen::selectColour(std::int32_t value) {
    m_colours->clear();
    for (const TextColourEntry& entry : kTextColours)
        m_colours->addItem(Swatch(ColourFromStoredValue(entry.value)), OwnText(entry.nameKey),
                           entry.value);
    int index = m_colours->findData(value);
    if (index < 0) {
        // A value stored by another version: offered as it is, so OK keeps it.
        m_colours->addItem(Swatch(ColourFromStoredValue(value)), OwnText("options.colour.other"),
                           value);
        index = m_colours->count() - 1;
    }
    m_colours->setCurrentIndex(index);
}

std::int32_t TFormOptionen::selectedColour() const {
    return m_colours->currentData().toInt();
}

int TFormOptionen::selectedTexture() const {
    return m_textureButtons[0]->group()->checkedId();
}

void TFormOptionen::SpeedButton01Click() {
    AppSettings& s = m_window.settings();
    ChooseDirectory(s.Arbeitsverzeichnis, CatalogueText(1100), CatalogueText(1101),
                    CurrentLanguageName());
    s.Arbeitsverzeichnis = FolderSetting(s.Arbeitsverzeichnis, DefaultWorkingFolder());
    m_workingFolder->setText(s.Arbeitsverzeichnis);
    m_workingFolder->setToolTip(s.Arbeitsverzeichnis);
}

void TFormOptionen::SpeedButton02Click() {
    AppSettings& s = m_window.settings();
    ChooseDirectory(s.Startverzeichnis, CatalogueText(1102), CatalogueText(1103),
                    CurrentLanguageName());
    s.Startverzeichnis = FolderSetting(s.Startverzeichnis, QDir::homePath() + QLatin1Char('/'));
    m_startFolder->setText(s.Startverzeichnis);
    m_startFolder->setToolTip(s.Startverzeichnis);
}

void TFormOptionen::OpenPictureDialogShow(QFileDialog& dialog) {
    dialog.setLabelText(QFileDialog::Accept, CatalogueText(751));
    dialog.setLabelText(QFileDialog::Reject, CatalogueText(752));
    dialog.setLabelText(QFileDialog::FileType, CatalogueText(753));
    dialog.setLabelText(QFileDialog::FileName, CatalogueText(754));
    dialog.setLabelText(QFileDialog::LookIn, CatalogueText(755));
    dialog.setWindowTitle(CatalogueText(756));
    // Named, so that keyboard-free callers find them.
    if (auto* box = dialog.findChild<QDialogButtonBox*>()) {
        if (QPushButton* open = box->button(QDialogButtonBox::Open))
            open->setObjectName(QStringLiteral("OpenPictureOK"));
        if (QPushButton* cancel = box->button(QDialogButtonBox::Cancel))
            cancel->setObjectName(QStringLiteral("OpenPictureCancel"));
    }
}

void TFormOptionen::HL_SpeedButton01Click() {
    AppSettings& s = m_window.settings();
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("OpenPictureDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    ListInProgramLanguage(dialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(QStringLiteral("(*.jpg;*.jpeg;*.bmp) (*.bmp *.jpg *.jpeg)"));
    if (QFileInfo(s.SLVTexturPfad01).isFile()) {
        dialog.setDirectory(QFileInfo(s.SLVTexturPfad01).absolutePath());
        dialog.selectFile(s.SLVTexturPfad01);
    }
    OpenPictureDialogShow(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    s.SLVTexturPfad01 = dialog.selectedFiles().constFirst();
    m_texturePath->setText(s.SLVTexturPfad01);
    m_texturePath->setToolTip(s.SLVTexturPfad01);
}

void TFormOptionen::OptBitBtn01Click() {
    AppSettings& s = m_window.settings();
    s.Arbeitsverzeichnis = FolderSetting(m_workingFolder->text(), DefaultWorkingFolder());
    s.Startverzeichnis = FolderSetting(m_startFolder->text(), QDir::homePath() + QLatin1Char('/'));
    s.Protokolldatei = m_logName->text();
    s.VerstecktAnzeigen = m_hidden->isChecked();
    s.ListeVorschaubilder = m_listThumbnails->isChecked();
    s.BildschirmSpeichern = m_screen->isChecked();
    s.ThumbLinks = m_popUps->isChecked();
    s.ThumbHintGroesse = m_popUpSize->value();
    s.ThumbTransparenz = std::uint8_t(m_opacity->value());
    applyBackground();
    if (!SaveOptions(s))
        throw SilentAbort();
    m_window.controller<PreviewController>().applyPreviewSettings();
    m_window.fileList()->setShowHidden(s.VerstecktAnzeigen);
    m_window.fileList()->setThumbnails(s.ListeVorschaubilder);
    hide();
}

void TFormOptionen::applyBackground() {
    AppSettings& s = m_window.settings();
    ShellFileList& list = *m_window.fileList();
    const int texture = selectedTexture();
    if (texture <= 0) {
        s.SLVBackground01 = false;
        s.SLVTextur01 = 0;
        m_window.controller<BrowserController>().setTexturePicture(QImage());
        // The desktop's own text colour: black would vanish on a dark list.
        list.setTextColour(QColor());
        return;
    }
    // The list loses its picture first, so a failed load leaves none.
    QImage picture = m_window.controller<BrowserController>().texturePicture();
    m_window.controller<BrowserController>().setTexturePicture(QImage());
    if (texture <= 5) {
        s.SLVTextur01 = std::uint8_t(texture);
        // Black or white by the tile's brightness, so the names stay
        // readable on each tile whatever the desktop's colours.
        list.setTextColour(QColor());
        picture = m_previews[std::size_t(texture - 1)];
    } else {
        if (s.SLVTexturPfad01.isEmpty()) {
            s.SLVTextur01 = 0;
            throw SilentAbort();
        }
        s.SLVTextur01 = kOwnTexture;
        s.SLVFontColor01 = selectedColour();
        list.setTextColour(ColourFromStoredValue(s.SLVFontColor01));
        if (PictureKind(s.SLVTexturPfad01) != PictureFileKind::None)
            picture = ToQImage(LoadPictureFile(s.SLVTexturPfad01));
    }
    m_window.controller<BrowserController>().setTexturePicture(picture);
    s.SLVBackground01 = true;
}

void TFormOptionen::OptBitBtn02Click() {
    hide();
}
