#include "i18n/language_chooser.h"

TfrmSprache::TfrmSprache(QWidget* parent) : QDialog(parent) { setObjectName("TfrmSprache"); }
