#pragma once
// What the result page of the similar-picture search does with its groups,
// without its widgets: which pictures "mark" proposes, the questions before
// marked pictures go to the trash, and the groups that remain afterwards.

#include "jobs/similar/find_similar.h"

#include <QSet>
#include <QString>
#include <QStringList>

class JobHost;

// Every picture of each group but its first, the proposed keeper.
QStringList PicturesToMark(const QList<SimilarGroup>& groups);

// How many groups would lose every picture if `marked` went to the trash.
int GroupsEntirelyMarked(const QList<SimilarGroup>& groups, const QSet<QString>& marked);

// Asks before `marked` pictures go to the trash: NothingMarked (information)
// and false when there is none; when whole groups would go, first a question of
// its own that names them, and false unless it is answered Yes; then text
// ReallyDeleteMarkedFile for one picture or ReallyDeleteMarkedFiles for more.
// True only for Yes.
bool ConfirmTrashingSimilar(JobHost& host, qsizetype marked, int wholeGroups);

// A marked picture that did not go to the trash, and why.
struct PictureNotTrashed {
    QString path;
    bool changed = false; // saved anew, replaced or deleted since the search; else the trash failed
};

// Sends `pictures` to the trash, each only while it is still the file the
// search read (same size, modification time and inode): the user marked the
// picture shown, not whatever has taken its name since. The others are
// returned, in the given order.
QList<PictureNotTrashed> TrashUnchangedPictures(const QList<SimilarPicture>& pictures);

// The pictures of `groups` whose paths are in `marked`, each once.
QList<SimilarPicture> MarkedPictures(const QList<SimilarGroup>& groups,
                                     const QSet<QString>& marked);

// The groups without the pictures in `gone`; a group left with fewer than
// two pictures is no group any more.
QList<SimilarGroup> WithoutPictures(const QList<SimilarGroup>& groups, const QSet<QString>& gone);
