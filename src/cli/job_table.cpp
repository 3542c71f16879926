// The jobs of kelvasto-batch, one row each, in the order --help lists them.
// A new job is a file under jobs/ that defines its BatchJob, and a row here.

#include "cli/batch_job.h"

extern const BatchJob kDefectsJob;
extern const BatchJob kUndoJob;
extern const BatchJob kEffectJob;
extern const BatchJob kIndexJob;
extern const BatchJob kThumbsJob;
extern const BatchJob kDupesJob;
extern const BatchJob kEmptyFoldersJob;
extern const BatchJob kReduceJob;
extern const BatchJob kSimilarJob;

namespace {

// clang-format off
constexpr const BatchJob* kJobs[] = {
    &kDefectsJob,
    &kUndoJob,
    &kReduceJob,
    &kEffectJob,
    &kIndexJob,
    &kThumbsJob,
    &kDupesJob,
    &kEmptyFoldersJob,
    &kSimilarJob,
};
// clang-format on

} // namespace

std::span<const BatchJob* const> BatchJobs() {
    return kJobs;
}
