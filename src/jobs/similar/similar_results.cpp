#include "jobs/similar/similar_results.h"

#include "i18n/own_texts.h"
#include "jobs/duplicates/duplicate_results.h"
#include "jobs/framework/job_host.h"

QStringList PicturesToMark(const QList<SimilarGroup>& groups) {
    QStringList marked;
    for (const SimilarGroup& group : groups)
        for (qsizetype i = 1; i < group.size(); ++i)
            marked.append(group.at(i).path);
    return marked;
}

int GroupsEntirelyMarked(const QList<SimilarGroup>& groups, const QSet<QString>& marked) {
    int whole = 0;
    for (const SimilarGroup& group : groups) {
        bool all = !group.isEmpty();
        for (const SimilarPicture& picture : group)
            all = all && marked.contains(picture.path);
        whole += all ? 1 : 0;
    }
    return whole;
}

bool ConfirmTrashingSimilar(JobHost& host, qsizetype marked, int wholeGroups) {
    if (marked > 0 && wholeGroups > 0 &&
        host.showMessage(OwnText("similar.wholeGroup").arg(wholeGroups), MessageKind::Confirmation,
                         DialogButton::Yes | DialogButton::No) != DialogResult::Yes)
        return false;
    return ConfirmDeletingMarked(host, marked);
}

QList<SimilarGroup> WithoutPictures(const QList<SimilarGroup>& groups, const QSet<QString>& gone) {
    QList<SimilarGroup> remaining;
    for (const SimilarGroup& group : groups) {
        SimilarGroup kept;
        for (const SimilarPicture& picture : group)
            if (!gone.contains(picture.path))
                kept.append(picture);
        if (kept.size() >= 2)
            remaining.append(kept);
    }
    return remaining;
}
