#pragma once
// TFileCompare: are two files byte for byte the same? The files are streamed
// in blocks with an early exit instead of being loaded wholly, so a pair of
// large files costs two blocks of memory.
//
//     TFileCompare compare;
//     compare.SetFirstFile(a);   // KelvastoError "<a> does not exist." when missing
//     compare.SetSecondFile(b);
//     if (compare.FilesAreIdentical()) ...

#include <QString>

class TFileCompare {
public:
    // Both raise KelvastoError with the path followed by DoesNotExist when no
    // file (a folder is no file) exists under the path.
    void SetFirstFile(const QString& path);
    void SetSecondFile(const QString& path);

    // True when both files have the same length and the same bytes; two empty
    // files are identical. Raises KelvastoError when a file cannot be read.
    bool FilesAreIdentical() const;

    const QString& FirstFile() const { return m_first; }
    const QString& SecondFile() const { return m_second; }

private:
    QString m_first;
    QString m_second;
};
