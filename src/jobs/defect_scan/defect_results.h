#pragma once
// The companions of the defect scan: deleting the files of the result folder,
// and where the destination field's folder chooser starts.

#include <QString>

class JobHost;

// Collects DefectFolder's "*.jpg" and "*.jpeg" files (whole tree), asks
// ReallyDeleteInvalidFiles with OK and Abort, and on OK moves every file whose
// name is longer than 10 characters and starts with "Defekt" (case counts) to
// the trash. Other files stay. Returns the DefectFolder it used.
QString DeleteDefectiveFiles(JobHost& host, const QString& destination);

// Where a click on the destination field goes.
struct DestinationStart {
    // False: no chooser; the field simply takes `text`.
    bool openChooser = true;
    // The field's new text and the chooser's start folder.
    QString text;
};

// An empty field opens the chooser as it is; a path whose drive is not ready
// becomes the home folder without a chooser; a folder that no longer exists
// is replaced by its nearest existing ancestor.
DestinationStart DestinationChooserStart(const QString& fieldText, const QString& homeFolder);
