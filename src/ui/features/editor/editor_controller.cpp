#include "ui/features/editor/editor_controller.h"

#include "base/errors.h"
#include "fs/result_files.h"
#include "i18n/catalogue.h"
#include "i18n/failure_texts.h"
#include "i18n/own_texts.h"
#include "imaging/picture_files.h"
#include "imaging/qimage_convert.h"
#include "jobs/framework/dialog_types.h"
#include "ui/dialogs/file_dialog_locale.h"
#include "ui/dialogs/message_dialog.h"
#include "ui/features/editor/editor_page.h"
#include "ui/features/editor/fit_editor_images.h"
#include "ui/features/guarded_connect.h"
#include "ui/widgets/radio_group.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>

#include <atomic>
#include <exception>
#include <optional>
#include <thread>

namespace {

const QString kPercentField = QStringLiteral("EditFarbeProzent");
// The views only show the picture: a copy this large looks the same on any
// screen and keeps each repaint of a 24-megapixel photograph cheap.
constexpr int kViewLongSide = 2048;

struct NamedEffect {
    const char* name;
    EditorEffect effect;
};
constexpr NamedEffect kEffects[] = {
    {"BitBtnInvertieren", EditorEffect::Invert},
    {"BitBtnSchwarzWeiss", EditorEffect::Grey},
    {"BitBtnAntiAlising", EditorEffect::AntiAlias},
    {"BitBtnSpiegelungHor", EditorEffect::MirrorTopBottom},
    {"BitBtnSpiegelungVer", EditorEffect::MirrorLeftRight},
    {"BitBtnSchaerfen", EditorEffect::Sharpen},
    {"BitBtnOptimieren", EditorEffect::Optimise},
};

constexpr const char* kColourButtons[] = {
    "BitBtnHelligkeit01", "BitBtnHelligkeit02", "BitBtnKontrast01", "BitBtnKontrast02",
    "BitBtnSaettigung01", "BitBtnSaettigung02", "BitBtnRotInGruen", "BitBtnRotInBlau",
    "BitBtnGruenInRot",   "BitBtnGruenInBlau",  "BitBtnBlauInRot",  "BitBtnBlauInGruen",
};

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

void preparePictureDialog(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    ListInProgramLanguage(dialog);
    dialog.setNameFilter(OwnText("editor.filter") + QStringLiteral(" (*.jpg *.jpeg *.bmp)"));
}

void putDialogTexts(QFileDialog& dialog, int title) {
    dialog.setWindowTitle(CatalogueText(title));
    dialog.setLabelText(QFileDialog::Accept, CatalogueText(751));
    dialog.setLabelText(QFileDialog::Reject, CatalogueText(752));
    dialog.setLabelText(QFileDialog::FileType, CatalogueText(753));
    dialog.setLabelText(QFileDialog::FileName, CatalogueText(754));
    dialog.setLabelText(QFileDialog::LookIn, CatalogueText(755));
    if (auto* box = dialog.findChild<QDialogButtonBox*>()) {
        for (QAbstractButton* button : box->buttons()) {
            const QDialogButtonBox::ButtonRole role = box->buttonRole(button);
            if (role == QDialogButtonBox::AcceptRole)
                button->setObjectName(QStringLiteral("OK"));
            else if (role == QDialogButtonBox::RejectRole)
                button->setObjectName(QStringLiteral("Abbrechen"));
        }
    }
}

void showOn(QLabel* view, const Picture& picture) {
    if (picture.isEmpty()) {
        view->clear();
        return;
    }
    QImage image = ToQImage(picture);
    if (image.width() > kViewLongSide || image.height() > kViewLongSide)
        image = image.scaled(kViewLongSide, kViewLongSide, Qt::KeepAspectRatio,
                             Qt::SmoothTransformation);
    view->setPixmap(QPixmap::fromImage(image));
}

} // namespace

ColourOperation ColourOperationOfControl(const QString& objectName) {
    for (int i = 0; i < 12; ++i)
        if (objectName == QLatin1String(kColourButtons[i]))
            return ColourOperation(i + 1);
    return ColourOperation::None;
}

EditorController::EditorController(THauptForm& window) : FeatureController(window) {}

PictureEditor& EditorController::editor() {
    if (!m_editor)
        m_editor = std::make_unique<PictureEditor>(window().imaging());
    return *m_editor;
}

void EditorController::build(const FeaturePlaces& places) {
    places.mainTabs->addTab(BuildEditorPage(places.mainTabs), QString());
    // The picture panes follow the window's size, and the display area's,
    // which changes also while the editor's tab is hidden.
    window().installEventFilter(this);
    control<QWidget>(QStringLiteral("EinzelNotebook01"))->installEventFilter(this);
    onTrigger(QStringLiteral("TB02LoadPic"), &EditorController::TB02LoadPicClick);
    onTrigger(QStringLiteral("TB02SavePic"), &EditorController::TB02SavePicClick);
    for (const NamedEffect& each : kEffects) {
        const EditorEffect effect = each.effect;
        onClick(QString::fromLatin1(each.name), [this, effect] { effectClick(effect); });
    }
    for (const char* name : kColourButtons) {
        const QString control = QString::fromLatin1(name);
        onClick(control, [this, control] { ColorClick(control); });
    }
    onClick(QStringLiteral("BitBtnUndo"), &EditorController::BitBtnUndoClick);
}

bool EditorController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize &&
        (watched == &window() || watched->objectName() == QLatin1String("EinzelNotebook01")))
        GuardedHandler(&window(), [this] { FormResize(); });
    return FeatureController::eventFilter(watched, event);
}

void EditorController::FormResize() {
    auto* display = control<QWidget>(QStringLiteral("EinzelNotebook01"));
    auto* left = control<QWidget>(QStringLiteral("EinzelNotebook01a"));
    auto* right = control<QWidget>(QStringLiteral("EinzelNotebook01b"));
    const int half = display->width() / 2;
    left->setGeometry(0, 0, half, display->height());
    right->setGeometry(half, 0, display->width() - half, display->height());
    const EditorImageLayout layout =
        FitEditorImages(left->size(), right->size(), m_editorPictureHeight, m_editorPictureWidth);
    control<QLabel>(QStringLiteral("EinzelImage01"))->setGeometry(layout.left);
    control<QLabel>(QStringLiteral("EinzelImage02"))->setGeometry(layout.right);
}

void EditorController::setEditorPictureSize(int height, int width) {
    m_editorPictureHeight = height;
    m_editorPictureWidth = width;
    FormResize();
}

void EditorController::OpenPictureDialogShow(QFileDialog& dialog) {
    putDialogTexts(dialog, 756);
}

void EditorController::SavePictureDialogShow(QFileDialog& dialog) {
    putDialogTexts(dialog, 757);
}

void EditorController::TB02LoadPicClick() {
    QFileDialog dialog(&window());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    preparePictureDialog(dialog);
    if (!m_currentPictureFile.isEmpty())
        dialog.setDirectory(QFileInfo(m_currentPictureFile).path());
    OpenPictureDialogShow(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    m_currentPictureFile = dialog.selectedFiles().first();
    if (PictureKind(m_currentPictureFile) == PictureFileKind::None)
        return;
    Picture picture;
    try {
        BusyCursor busy;
        const QString path = m_currentPictureFile;
        runKeepingWindowAlive([&picture, &path] { picture = LoadEditorPicture(path); });
    } catch (const KelvastoError& error) {
        // Too large for the memory, damaged, unreadable: the user asked for
        // this file and learns why it did not open; the views stay.
        ShowMessageDialog(
            OwnText("editor.open.failed").arg(m_currentPictureFile, FailureText(error)),
            MessageKind::Warning, ButtonBit(DialogButton::OK), CurrentLanguageName());
        return;
    }
    editor().setLoaded(std::move(picture));
    showPictures(true);
    auto* name = control<QLabel>(QStringLiteral("LabelBildName"));
    name->setText(QFileInfo(m_currentPictureFile).fileName());
    name->setToolTip(m_currentPictureFile);
    setEditorPictureSize(editor().loaded().height(), editor().loaded().width());
}

void EditorController::TB02SavePicClick() {
    if (editor().working().isEmpty())
        return; // nothing opened yet: nothing to save
    QFileDialog dialog(&window());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The file written is NAME.jpeg, which the dialog does not know; a file
    // that stands there goes to the trash rather than being asked about.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    preparePictureDialog(dialog);
    if (!m_currentPictureFile.isEmpty())
        dialog.selectFile(m_currentPictureFile);
    SavePictureDialogShow(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    m_currentPictureFile = dialog.selectedFiles().first();
    const QString target = EditorSavePath(m_currentPictureFile);
    QString reason;
    BusyCursor busy;
    if (!WriteResultJpeg(editor().working(), target, reason))
        ShowMessageDialog(OwnText("editor.save.failed").arg(target, reason), MessageKind::Warning,
                          ButtonBit(DialogButton::OK), CurrentLanguageName());
}

void EditorController::effectClick(EditorEffect effect) {
    if (editor().working().isEmpty())
        return;
    std::optional<BusyCursor> busy;
    if (EffectShowsHourglass(effect))
        busy.emplace();
    PictureEditor& work = editor();
    runKeepingWindowAlive([&work, effect] { work.apply(effect); });
    showPictures(false);
}

void EditorController::ColorClick(const QString& control) {
    if (editor().working().isEmpty())
        return;
    BusyCursor busy;
    const ColourOperation operation = ColourOperationOfControl(control);
    const QString percent = this->control<QLineEdit>(kPercentField)->text();
    const int mode = this->control<RadioGroup>(QStringLiteral("RadioGroupFarben"))->itemIndex();
    PictureEditor& work = editor();
    runKeepingWindowAlive(
        [&work, operation, percent, mode] { work.applyColour(operation, percent, mode); });
    showPictures(false);
}

void EditorController::BitBtnUndoClick() {
    editor().undo();
    showPictures(false);
}

void EditorController::applyLanguage() {
    auto* field = control<QLineEdit>(kPercentField);
    // Only the untouched default changes its form; a number the user typed
    // stays as typed (both forms are read alike).
    for (int offset : {0, 10000})
        if (field->text() == DefaultColourPercentText(offset))
            field->setText(DefaultColourPercentText(LanguageOffset()));
}

void EditorController::runKeepingWindowAlive(const std::function<void()>& work) {
    std::exception_ptr failure;
    std::atomic<bool> done{false};
    m_busy = true;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
    });
    while (!done.load())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    worker.join();
    m_busy = false;
    if (failure)
        std::rethrow_exception(failure);
}

void EditorController::showPictures(bool both) {
    if (both)
        showOn(control<QLabel>(QStringLiteral("EinzelImage01")), editor().loaded());
    showOn(control<QLabel>(QStringLiteral("EinzelImage02")), editor().working());
}
