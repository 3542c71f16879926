#include "ui/main_window/hauptform.h"

THauptForm::THauptForm(QWidget* parent) : QMainWindow(parent) { setObjectName("THauptForm"); }

THauptForm::~THauptForm() = default;
