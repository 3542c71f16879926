#pragma once
// A JobHost for engine tests: records every text, progress value and message,
// and answers questions as scripted.

#include "engine/job_host.h"
