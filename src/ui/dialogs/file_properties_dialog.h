#pragma once
// The program's own properties dialog for a file or folder: name, folder,
// size, dates, permissions, and for pictures their pixel size.

#include <QDateTime>
#include <QSize>
#include <QString>

struct FileProperties {
    QString name;
    QString folder;
    qint64 size = 0; // bytes; 0 for folders
    bool isFolder = false;
    QDateTime modified;
    QDateTime accessed;
    QDateTime changed;
    QString permissions; // "rwxr-xr-x"
    QSize pixelSize;     // invalid when not a readable picture
};

// Reads what the dialog shows; a vanished path gives only name and folder.
FileProperties ReadFileProperties(const QString& path);

// Shows the dialog modally.
void ShowFileProperties(const QString& path, QWidget* parent = nullptr);
