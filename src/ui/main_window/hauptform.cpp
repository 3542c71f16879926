#include "ui/main_window/hauptform.h"

#include "i18n/apply_language.h"

THauptForm::THauptForm(QWidget* parent) : QMainWindow(parent), m_settings(LoadSettings()) {
    setObjectName("THauptForm");
}

THauptForm::~THauptForm() = default;

void THauptForm::ApplyLanguage() { ::ApplyLanguage(*this); }
