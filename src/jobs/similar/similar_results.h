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

// Asks before `marked` pictures go to the trash: text 9017 (information) and
// false when there is none; when whole groups would go, first a question of
// its own that names them, and false unless it is answered Yes; then text
// 9018 for one picture or 9019 for more. True only for Yes.
bool ConfirmTrashingSimilar(JobHost& host, qsizetype marked, int wholeGroups);

// The groups without the pictures in `gone`; a group left with fewer than
// two pictures is no group any more.
QList<SimilarGroup> WithoutPictures(const QList<SimilarGroup>& groups, const QSet<QString>& gone);
