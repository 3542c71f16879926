// The jobs of kelvasto-batch, one row each, in the order --help lists them.
// A new job is a file under jobs/ that defines its BatchJob, and a row here.

#include "cli/batch_job.h"

extern const BatchJob kDefectsJob;
extern const BatchJob kUndoJob;
extern const BatchJob kEffectJob;
extern const BatchJob kIndexJob;
extern const BatchJob kThumbsJob;

namespace {

constexpr const BatchJob* kJobs[] = {
    &kDefectsJob, &kUndoJob, &kEffectJob, &kIndexJob, &kThumbsJob,
};

} // namespace

std::span<const BatchJob* const> BatchJobs() {
    return kJobs;
}
