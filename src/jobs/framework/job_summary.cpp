#include "jobs/framework/job_summary.h"

#include "i18n/own_texts.h"

QString SummaryLine(const JobSummary& summary) {
    QString line =
        summary.written > 0
            ? OwnText("summary.written").arg(summary.job).arg(summary.written).arg(summary.where)
            : OwnText("summary.nothing_written").arg(summary.job);
    if (summary.notProcessed > 0)
        line += OwnText("summary.ended_unreadable").arg(summary.notProcessed);
    else if (summary.stopped)
        line += OwnText("summary.stopped").arg(summary.done).arg(summary.total);
    if (summary.skipped > 0)
        line += OwnText("summary.skipped").arg(summary.skipped);
    return line;
}
