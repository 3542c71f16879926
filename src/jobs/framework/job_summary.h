#pragma once
// The one line a job that writes files leaves behind when it ends without a
// closing message (JobHost::showSummary): what it wrote where and how many,
// and, where it did not get through, where it stopped.
//
//     Thumbnails: 40 file(s) written to /photos/Thumbnails/; 2 left out
//     Index pictures: 3 file(s) written to 2 folders; stopped after 90 of 300 files

#include <QString>

struct JobSummary {
    QString job; // the job's name, in the current language
    int written = 0;
    QString where; // ResultFiles::where()
    int skipped = 0;
    bool stopped = false; // the abort button: after `done` of `total`
    int done = 0;
    int total = 0;
    // The run ended at a file it could not read, leaving this many untouched.
    int notProcessed = 0;
};

QString SummaryLine(const JobSummary& summary);
