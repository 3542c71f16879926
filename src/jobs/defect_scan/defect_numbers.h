#pragma once
// The numbers of the names in a defect folder ("Defekt" + number + "_" +
// former name). A run numbers its files after the highest number already in
// the folder or named by a kept move run, so that it never takes a name an
// earlier run gave (copies included) and a moved file's name is never reused
// while a record of it exists. A copy run also finds the pictures an earlier
// run put there already, so that copying twice makes no second copy.

#include <QHash>
#include <QString>
#include <QStringList>

class DefectNumbers {
public:
    // Reads the folder's names once. `recordedTargets` are new paths of kept
    // move runs; those inside `defectFolder` count as taken.
    DefectNumbers(const QString& defectFolder, const QStringList& recordedTargets);

    // The next free number; each call gives a higher one.
    qint64 take() { return ++m_highest; }
    qint64 highest() const { return m_highest; }

    // The file of the defect folder, there before this run, that holds
    // exactly the bytes of `formerPath` under its file name; empty when none.
    QString earlierCopy(const QString& formerPath) const;

private:
    void note(const QString& fileName);

    QString m_folder;
    qint64 m_highest = 0;
    QMultiHash<QString, QString> m_byFormerName; // former name -> file name
};

// The number in a defect folder's file name, or -1 when the name has none of
// the form "Defekt<digits>_...". `formerName` takes the rest.
qint64 DefectNumberOf(const QString& fileName, QString* formerName = nullptr);
