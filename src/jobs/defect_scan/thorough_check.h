#pragma once
// The thorough defect check: a file is defective when the end-of-image test
// says so, or when libjpeg, walking all of its entropy-coded data, reports an
// error or a corrupt-data warning. The end-of-image test runs first, so a file
// that was cut off is reported as such.
//
// ThoroughCheckAhead runs the check over a work list on worker threads, a
// bounded stretch ahead of the scan; the scan takes the verdicts one by one in
// list order, so order, numbering and the move log stay those of a check done
// in turn.

#include "base/threads/ordered_work_ahead.h"

#include <QString>
#include <QStringList>

enum class DefectCause {
    None,
    CutOff,      // no end-of-image marker in the last quarter
    DamagedData, // libjpeg's error or warning, in `message`
};

struct DefectVerdict {
    bool readable = false;
    bool defective = false;
    DefectCause cause = DefectCause::None;
    QString message; // the decoder's complaint, or why the file could not be read
};

// The check of one file; never throws. Reads the whole file once.
DefectVerdict CheckJpegThoroughly(const QString& path);

// The verdict of the end-of-image test alone, in the same form.
DefectVerdict CheckJpegEndMarker(const QString& path);

// Why a defective file is defective, in the current language.
QString DefectReasonText(const DefectVerdict& verdict);

class ThoroughCheckAhead {
public:
    // `threads` 0 takes one per core.
    ThoroughCheckAhead(const QStringList& files, int threads);

    // The verdict for files[index], waiting until a worker has it. Indexes
    // are taken in increasing order.
    DefectVerdict take(int index) { return m_checks.take(index); }

private:
    OrderedWorkAhead<DefectVerdict> m_checks;
};
