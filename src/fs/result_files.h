#pragma once
// Writing a result picture (an index sheet, a thumbnail) under a name that may
// already be taken. Such a name can be one of the user's own photographs, so the
// file there goes to the trash first and is never lost; a file that cannot be
// trashed keeps its place and the result is not written. The new file is
// written to a temporary name beside the target and renamed into place, so a
// killed run never leaves a half-written picture under the final name.

#include "imaging/picture.h"

#include <QSet>
#include <QString>

class JobHost;

// Encodes `picture` with SaveAsJpeg's settings and puts it at `path`. Returns
// false and sets `reason` when nothing was written.
bool WriteResultJpeg(const Picture& picture, const QString& path, QString& reason);

// The result files of one run of a job. Each name is written once: a second
// result that would take the name of one written before in the same run (two
// sources called x.jpg from two folders, into one destination) would send the
// first to the trash and take its place, so it is not written and reported
// instead. Every source passed over and every result not written goes to the
// host's reportSkipped.
class ResultFiles {
public:
    explicit ResultFiles(JobHost& host) : m_host(host) {}

    // True when `picture` now stands at `path`.
    bool write(const Picture& picture, const QString& path);
    // A source the run passed over, with the reason.
    void passOver(const QString& path, const QString& reason);

    int written() const { return m_written; }
    // Sources passed over and results not written.
    int skipped() const { return m_skipped; }
    // Where the results went, for a summary: the folder when it was one,
    // else how many.
    QString where() const;

private:
    JobHost& m_host;
    QSet<QString> m_names;
    QSet<QString> m_folders;
    int m_written = 0;
    int m_skipped = 0;
};
