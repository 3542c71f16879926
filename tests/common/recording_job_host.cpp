#include "common/recording_job_host.h"
