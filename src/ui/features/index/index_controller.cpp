#include "ui/features/index/index_controller.h"

#include "app/error_handler.h"
#include "i18n/catalogue.h"
#include "ui/features/guarded_connect.h"
#include "ui/features/index/index_page.h"
#include "ui/main_window/main_window_parts.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>

namespace {

const QString kStem = QStringLiteral("IdxStammname");
const QStringList kPrefixPostfix{QStringLiteral("IdxPraefix"), QStringLiteral("IdxPostfix"),
                                 QStringLiteral("ThumbPraefix"), QStringLiteral("ThumbPostfix")};
// FktZielverzeichnis takes the same steps in the functions' own controller.
const QStringList kDestinationFields{QStringLiteral("IdxZielverzeichnis")};

} // namespace

IndexController::IndexController(THauptForm& window) : FeatureController(window) {}

void IndexController::build(const FeaturePlaces& places) {
    places.seriesTabs->addTab(BuildSeriesPageIndex(places.seriesTabs), QString());
    onClick("IdxSpeedButton01", &IndexController::IdxSpeedButton01Click);
    onClick("IdxSpeedButton02", &IndexController::IdxSpeedButton02Click);
    onClick("IdxBitBtn01", &IndexController::IdxBitBtn01Click);
    onClick("ThumbBitBtn01", &IndexController::ThumbBitBtn01Click);
    onTrigger("HMenu_IndexBilder", &IndexController::IdxBitBtn01Click);
    onTrigger("PM01_IndexBilder", &IndexController::IdxBitBtn01Click);
    onTrigger("HMenu_Thumbnails", &IndexController::ThumbBitBtn01Click);
    onTrigger("PM01_Thumbnails", &IndexController::ThumbBitBtn01Click);
    // Checking a radio from code counts as its click too, as it always did.
    for (const char* name : {"IdxRadioButton01", "IdxRadioButton02"})
        ConnectGuarded(control<QRadioButton>(QString::fromLatin1(name)), &QRadioButton::toggled,
                       this, [this] { IdxRadioButtonOnClick(); });
    for (const QString& name : kPrefixPostfix + QStringList{kStem} + kDestinationFields)
        control<QLineEdit>(name)->installEventFilter(this);
}

void IndexController::windowCreated() {
    if (window().settings().BildschirmSpeichern)
        control<QLineEdit>(QStringLiteral("IdxUnterverzeichnis"))
            ->setText(window().settings().UnterverzeichnisIdx);
}

bool IndexController::eventFilter(QObject* watched, QEvent* event) {
    const QString name = watched->objectName();
    // Typing into a naming field picks its radio as a click into it does.
    const bool typing = event->type() == QEvent::KeyPress &&
                        !static_cast<QKeyEvent*>(event)->text().trimmed().isEmpty();
    if (event->type() == QEvent::MouseButtonPress || typing) {
        // The click goes on into the field; the handler only picks the radio.
        if (kPrefixPostfix.contains(name))
            GuardedHandler(&window(), [this] { IdxPraePostOnClick(); });
        else if (name == kStem)
            GuardedHandler(&window(), [this] { IdxStammnameClick(); });
    } else if (parts::OpensChooser(event) && kDestinationFields.contains(name)) {
        GuardedHandler(&window(), [this, name] { IdxZielverzeichnisClick(name); });
        return true;
    }
    return FeatureController::eventFilter(watched, event);
}

void IndexController::IdxSpeedButton01Click() {
    auto* notebook = control<QStackedWidget>(QStringLiteral("IdxNotebook01"));
    auto* field = control<QLineEdit>(QStringLiteral("IdxUnterverzeichnis"));
    if (notebook->currentIndex() == 1)
        window().settings().UnterverzeichnisThumb = field->text();
    field->setText(window().settings().UnterverzeichnisIdx);
    window().setJobEntriesVisible({QStringLiteral("IndexBilder")}, true);
    window().setJobEntriesVisible({QStringLiteral("Thumbnails")}, false);
    notebook->setCurrentIndex(0);
}

void IndexController::IdxSpeedButton02Click() {
    auto* notebook = control<QStackedWidget>(QStringLiteral("IdxNotebook01"));
    auto* field = control<QLineEdit>(QStringLiteral("IdxUnterverzeichnis"));
    if (notebook->currentIndex() != 1)
        window().settings().UnterverzeichnisIdx = field->text();
    field->setText(window().settings().UnterverzeichnisThumb);
    window().setJobEntriesVisible({QStringLiteral("Thumbnails")}, true);
    window().setJobEntriesVisible({QStringLiteral("IndexBilder")}, false);
    notebook->setCurrentIndex(1);
}

void IndexController::IdxBitBtn01Click() {
    MakeIndexPictures(window().jobHost(), indexOptions());
}

void IndexController::ThumbBitBtn01Click() {
    MakeThumbnails(window().jobHost(), thumbnailOptions());
}

void IndexController::IdxRadioButtonOnClick() {
    control<QGroupBox>(QStringLiteral("IdxGroupBox02"))
        ->setVisible(control<QRadioButton>(QStringLiteral("IdxRadioButton01"))->isChecked());
}

void IndexController::IdxPraePostOnClick() {
    control<QRadioButton>(QStringLiteral("IdxRadioButton01"))->setChecked(true);
}

void IndexController::IdxStammnameClick() {
    control<QRadioButton>(QStringLiteral("IdxRadioButton02"))->setChecked(true);
}

void IndexController::IdxZielverzeichnisClick(const QString& fieldName) {
    chooseDestinationFolder(fieldName);
}

int IndexController::upDownValue(const char* name) const {
    return static_cast<qint16>(control<QSpinBox>(QString::fromLatin1(name))->value());
}

DestinationChoice IndexController::destination() const {
    return ReadDestinationGroup(window(), QStringLiteral("Idx"));
}

IndexJobOptions IndexController::indexOptions() const {
    IndexJobOptions options;
    options.recursive = control<QCheckBox>(QStringLiteral("IdxRekursiv"))->isChecked();
    options.layout = {upDownValue("IdxEdit01"), upDownValue("IdxEdit02"), upDownValue("IdxEdit03")};
    options.bySeries = control<QRadioButton>(QStringLiteral("IdxRadioButton01"))->isChecked();
    options.stem = control<QLineEdit>(kStem)->text();
    options.prefix = control<QLineEdit>(QStringLiteral("IdxPraefix"))->text();
    options.postfix = control<QLineEdit>(QStringLiteral("IdxPostfix"))->text();
    options.series.rule = control<QRadioButton>(QStringLiteral("IdxSRadioButton02"))->isChecked()
                              ? SeriesRule::FirstChars
                              : SeriesRule::AllLetters;
    options.series.firstChars = upDownValue("IdxAnzahlEdit");
    options.destination = destination();
    return options;
}

ThumbnailJobOptions IndexController::thumbnailOptions() const {
    ThumbnailJobOptions options;
    options.recursive = control<QCheckBox>(QStringLiteral("IdxRekursiv"))->isChecked();
    options.side = upDownValue("ThumbGroesse");
    options.prefix = control<QLineEdit>(QStringLiteral("ThumbPraefix"))->text();
    options.postfix = control<QLineEdit>(QStringLiteral("ThumbPostfix"))->text();
    options.destination = destination();
    return options;
}
