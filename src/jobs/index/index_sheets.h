#pragma once
// Index pictures (contact sheets): the files' pictures, each scaled to fit a
// square of side S, drawn row by row into cells of S + 10 pixels on black
// sheets of C cells, R to a row. Every sheet of a run has the same size,
// R x (S + 10) by ceil(C / R) x (S + 10); the last one keeps its empty cells
// black. A picture sits in the middle of its cell: offsets (cell - w) / 2 and
// (cell - h) / 2, truncated, and where cell - w is odd the picture is drawn one
// pixel wider than w (the same for the height), so a 100 x 75 picture in a
// 110-pixel cell lies at 5, 17 and is drawn 100 x 76.
//
// A file that cannot be read or decoded leaves its cell empty and the run goes
// on; it is reported, and so is a sheet that could not be written.

#include "fs/result_files.h"
#include "imaging/picture.h"
#include "imaging/scale_to_fit.h"
#include "jobs/index/index_number_options.h"

#include <QString>
#include <QStringList>

class PicturePrefetcher;
struct LoadedPicture;

struct SheetLayout {
    int perSheet = kIndexPerSheet.fallback; // C
    int perRow = kIndexPerRow.fallback;     // R
    int side = kIndexSide.fallback;         // S

    int cell() const { return side + 10; }
    int rows() const { return (perSheet + perRow - 1) / perRow; }
    int width() const { return perRow * cell(); }
    int height() const { return rows() * cell(); }
};

struct CellRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const CellRect&) const = default;
};

// The rectangle the k-th picture of a sheet (0 based) is drawn into, given the
// size ScaleToFit gave it.
CellRect CellRectangle(const SheetLayout& layout, int k, FitSize fit);

// The sheet number padded with "0" to as many digits as fileCount - 1 has:
// 45 files give "01", "02"; 5 files "1"; 1000 files "001" .. "024".
QString SheetNumber(int number, int fileCount);

// base path + "_" + SheetNumber + ".jpeg"
QString SheetPath(const QString& basePath, int number, int fileCount);

// A file's picture ready for its cell: decoded at the cell rectangle's size
// directly (DCT scaling, then area averaging). `fit` is its ScaleToFit size.
LoadedPicture LoadCellPicture(const QString& path, int side);

// One sheet being drawn.
class SheetCanvas {
public:
    explicit SheetCanvas(const SheetLayout& layout);
    // Draws a picture of ScaleToFit size `fit` into cell k, stretched to the
    // cell rectangle when it does not have its size already.
    void draw(int k, const Picture& picture, FitSize fit);
    void clear() { m_sheet.fill(0, 0, 0); }
    const Picture& picture() const { return m_sheet; }

private:
    SheetLayout m_layout;
    Picture m_sheet;
};

struct WrittenSheet {
    QString firstFile; // the first picture drawn on it
    QString sheet;
};

struct SheetRunResult {
    int sheetsWritten = 0;
    int sheetsNotWritten = 0;
    int unreadable = 0;
    QList<WrittenSheet> written;
};

// Draws `files` in order onto sheets and writes each as
// SheetPath(basePath, number, files.size()) through `results`, after every
// perSheet files and after the last; a file that cannot be read is passed
// over there. The pictures come from `pictures`, which must hold the files
// in this order (they may be part of a longer list). Throws KelvastoError
// when the layout asks for a sheet larger than the program allows.
SheetRunResult BuildIndexSheets(const SheetLayout& layout, const QStringList& files,
                                const QString& basePath, PicturePrefetcher& pictures,
                                ResultFiles& results);
