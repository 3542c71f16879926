#pragma once
// Loads the pictures of a list of files a few files ahead of their use (a
// prefetch, on OrderedWorkAhead), on the other cores, while the job's own
// thread draws and writes. The job takes the
// pictures strictly in list order and gets exactly what loading the file at
// that moment would give: a file that changed since it was loaded ahead (a sheet
// or thumbnail of this very run replaced it, say) is loaded again. At most
// `lookahead` pictures wait at any time, so memory stays bounded.

#include "imaging/picture.h"
#include "imaging/scale_to_fit.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// A loaded and scaled picture, or why there is none.
struct LoadedPicture {
    Picture picture; // empty when the file could not be read or decoded
    FitSize fit;     // the ScaleToFit size of the file's picture
    QString error;   // set when the picture is empty
};

using PictureLoader = std::function<LoadedPicture(const QString& path)>;

class PicturePrefetcher {
public:
    // `threads` 0 loads each picture when it is taken, on the caller's thread:
    // the plain definition the threaded form must match.
    PicturePrefetcher(const QStringList& paths, PictureLoader load, int threads);
    ~PicturePrefetcher();
    PicturePrefetcher(const PicturePrefetcher&) = delete;
    PicturePrefetcher& operator=(const PicturePrefetcher&) = delete;

    // The picture of the next file of the list, which must be `path`; a path out
    // of order is loaded on the spot.
    LoadedPicture take(const QString& path);

    // Worker threads worth starting on this machine.
    static int defaultThreads();

private:
    struct State;
    std::unique_ptr<State> m_state;
};
