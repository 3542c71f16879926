#include "ui/main_window/feature_controller.h"

FeatureController::FeatureController(THauptForm& window) : QObject(&window), m_window(window) {}

FeatureController::~FeatureController() = default;
