#pragma once
// Every job's controller, for the one place that registers them (the main
// window); a new job adds its header here and one registration line there.

#include "ui/features/defect_scan/defect_scan_controller.h"
#include "ui/features/duplicates/duplicates_controller.h"
#include "ui/features/editor/editor_controller.h"
#include "ui/features/functions/functions_controller.h"
#include "ui/features/index/index_controller.h"
#include "ui/features/reduction/reduction_controller.h"
#include "ui/features/similar/similar_controller.h"
