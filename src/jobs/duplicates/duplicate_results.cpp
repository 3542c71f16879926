#include "jobs/duplicates/duplicate_results.h"

#include "fs/path_utils.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"
#include "jobs/framework/job_host.h"
#include "jobs/framework/job_run.h"

namespace {

bool askYesNo(JobHost& host, CatalogueId textId) {
    return host.showMessage(CatalogueText(textId), MessageKind::Confirmation,
                            DialogButton::Yes | DialogButton::No) == DialogResult::Yes;
}

} // namespace

QList<qsizetype> DuplicateLinesToMark(const QStringList& lines) {
    QList<qsizetype> marked;
    for (qsizetype i = 1; i < lines.size(); ++i)
        if (!lines.at(i - 1).isEmpty() && !lines.at(i).isEmpty())
            marked.append(i);
    return marked;
}

bool ConfirmDeletingMarked(JobHost& host, qsizetype count) {
    if (count == 0) {
        host.showMessage(CatalogueText(CatalogueId::NothingMarked), MessageKind::Information,
                         ButtonBit(DialogButton::OK));
        return false;
    }
    return askYesNo(host, count == 1 ? CatalogueId::ReallyDeleteMarkedFile
                                     : CatalogueId::ReallyDeleteMarkedFiles);
}

QStringList TrashFiles(JobHost& host, const QStringList& files) {
    JobReport report(host);
    QStringList trashed;
    for (const QString& file : files) {
        if (file.isEmpty())
            continue;
        if (RecycleFile(file))
            trashed.append(file);
        else
            host.reportSkipped(file, OwnText("dupes.skip_not_trashed"));
    }
    return trashed;
}

bool ConfirmClearingList(JobHost& host) {
    return askYesNo(host, CatalogueId::ReallyClearList);
}
