#include "jobs/index/index_sheets.h"

#include "base/errors.h"
#include "i18n/failure_texts.h"
#include "imaging/jpeg_codec.h"
#include "imaging/picture_files.h"
#include "imaging/resample.h"
#include "jobs/framework/picture_prefetch.h"

#include <cstring>

namespace {

// One pixel more where the space left in the cell is odd.
int drawnSide(int cell, int side) {
    return side + (cell - side) % 2;
}

void copyInto(Picture& sheet, const CellRect& rect, const Picture& picture) {
    const std::size_t bytes = static_cast<std::size_t>(rect.width) * 3;
    for (int y = 0; y < rect.height; ++y)
        std::memcpy(sheet.pixel(rect.x, rect.y + y), picture.row(y), bytes);
}

} // namespace

CellRect CellRectangle(const SheetLayout& layout, int k, FitSize fit) {
    const int cell = layout.cell();
    const int column = k % layout.perRow, row = k / layout.perRow;
    const int dx = (cell - fit.width) / 2, dy = (cell - fit.height) / 2;
    // Right and bottom exclusive at (column + 1) * cell - dx: one pixel wider
    // than the picture when cell - w is odd.
    return {column * cell + dx, row * cell + dy, cell - 2 * dx, cell - 2 * dy};
}

QString SheetNumber(int number, int fileCount) {
    const int width = static_cast<int>(QString::number(qMax(fileCount - 1, 0)).size());
    return QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0'));
}

QString SheetPath(const QString& basePath, int number, int fileCount) {
    return basePath + QLatin1Char('_') + SheetNumber(number, fileCount) + QStringLiteral(".jpeg");
}

LoadedPicture LoadCellPicture(const QString& path, int side) {
    LoadedPicture loaded;
    try {
        const QByteArray data = ReadPictureFile(path);
        const JpegSize full = ReadJpegSize(data);
        loaded.fit = ScaledFitSize(full.width, full.height, side, side);
        const int cell = side + 10;
        loaded.picture = DecodeJpegAtSize(
            data, {drawnSide(cell, loaded.fit.width), drawnSide(cell, loaded.fit.height)});
    } catch (const std::exception& error) {
        loaded.picture = Picture();
        loaded.error = FailureText(error);
    }
    return loaded;
}

SheetCanvas::SheetCanvas(const SheetLayout& layout)
    : m_layout(layout), m_sheet(layout.width(), layout.height()) {}

void SheetCanvas::draw(int k, const Picture& picture, FitSize fit) {
    if (picture.isEmpty())
        return;
    const CellRect rect = CellRectangle(m_layout, k, fit);
    if (picture.width() == rect.width && picture.height() == rect.height)
        copyInto(m_sheet, rect, picture);
    else
        copyInto(m_sheet, rect, ResamplePicture(picture, rect.width, rect.height));
}

SheetRunResult BuildIndexSheets(const SheetLayout& layout, const QStringList& files,
                                const QString& basePath, PicturePrefetcher& pictures,
                                ResultFiles& results) {
    SheetRunResult result;
    if (files.isEmpty())
        return result;
    if (layout.perSheet < 1 || layout.perRow < 1 || layout.side < 1)
        throw KelvastoError("index sheets need at least one cell and a positive side");
    SheetCanvas canvas(layout);
    const int n = static_cast<int>(files.size());
    int k = 0;
    for (int i = 0; i < n; ++i) {
        const LoadedPicture loaded = pictures.take(files.at(i));
        if (loaded.picture.isEmpty()) {
            ++result.unreadable;
            results.passOver(files.at(i), loaded.error);
        } else {
            canvas.draw(k, loaded.picture, loaded.fit);
        }
        ++k;
        if ((i + 1) % layout.perSheet != 0 && i != n - 1)
            continue;
        const QString sheetPath = SheetPath(basePath, i / layout.perSheet + 1, n);
        if (results.write(canvas.picture(), sheetPath)) {
            ++result.sheetsWritten;
            result.written.append({files.at(i - (i % layout.perSheet)), sheetPath});
        } else {
            ++result.sheetsNotWritten;
        }
        canvas.clear();
        k = 0;
    }
    return result;
}
