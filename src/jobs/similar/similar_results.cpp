#include "jobs/similar/similar_results.h"

#include "fs/path_utils.h"
#include "i18n/own_texts.h"
#include "jobs/duplicates/duplicate_results.h"
#include "jobs/framework/job_host.h"
#include "jobs/similar/picture_source.h"

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

QList<PictureNotTrashed> TrashUnchangedPictures(const QList<SimilarPicture>& pictures) {
    QList<PictureNotTrashed> left;
    for (const SimilarPicture& picture : pictures) {
        const PictureFileKey read{picture.bytes, picture.modifiedNs, picture.inode};
        if (PictureFileKeyOf(picture.path) != read)
            left.append({picture.path, true});
        else if (!RecycleFile(picture.path))
            left.append({picture.path, false});
    }
    return left;
}

QList<SimilarPicture> MarkedPictures(const QList<SimilarGroup>& groups,
                                     const QSet<QString>& marked) {
    QList<SimilarPicture> pictures;
    QSet<QString> seen;
    for (const SimilarGroup& group : groups)
        for (const SimilarPicture& picture : group)
            if (marked.contains(picture.path) && !seen.contains(picture.path)) {
                seen.insert(picture.path);
                pictures.append(picture);
            }
    return pictures;
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
