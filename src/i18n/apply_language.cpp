#include "i18n/apply_language.h"

#include <QWidget>

void ApplyLanguage(QWidget&) {}
