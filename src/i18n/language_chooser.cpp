#include "i18n/language_chooser.h"

#include "app/app_settings.h"

TfrmSprache::TfrmSprache(AppSettings&, std::function<void()>, QWidget* parent) : QDialog(parent) {
    setObjectName("TfrmSprache");
}
