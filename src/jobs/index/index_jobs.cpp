#include "jobs/index/index_jobs.h"

#include "fs/file_collection.h"
#include "fs/path_utils.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"
#include "jobs/framework/job_controls.h"
#include "jobs/framework/job_host.h"
#include "jobs/framework/job_reporter.h"
#include "jobs/framework/job_run.h"
#include "jobs/framework/job_summary.h"
#include "jobs/framework/picture_prefetch.h"
#include "jobs/index/thumbnails.h"

#include <optional>

namespace {

const ProgressControls& kProgress = kFunctionsControls.progress;

// A start check failed: the run says why and does nothing else.
void refuse(JobHost& host, IndexJobResult& result, CatalogueId why) {
    result.refusedWith = why;
    host.showMessage(CatalogueText(why), MessageKind::Information, ButtonBit(DialogButton::OK));
}

QStringList startFoldersOf(JobHost& host, const QStringList& given) {
    return given.isEmpty() ? QStringList{host.selectedFolder()} : given;
}

void collect(JobHost& host, bool recursive, const QStringList& startFolders,
             const DestinationChoice& destination) {
    QStringList& list = host.lists().AlteDateinamen;
    if (!recursive) {
        CollectSelectedFiles(host, list);
        return;
    }
    list.clear();
    const LeftOutFolder results = ResultFoldersOf(destination);
    for (const QString& folder : startFolders)
        if (!folder.isEmpty()) // no folder chosen is not the whole file system
            CollectJpegFilesRecursive(host, list, AddTrailingBackslash(folder), results);
}

void tally(IndexJobResult& result, const ResultFiles& results) {
    result.written = results.written();
    result.skipped = results.skipped();
}

// The frame both jobs share: lock and busy cursor while collecting and
// working, the page, and the end steps whatever way the job ends.
class IndexRun {
public:
    IndexRun(JobHost& host, JobKind kind) : m_host(host), m_run(host, kind, kProgress) {}
    ~IndexRun() {
        try {
            finish();
        } catch (...) {
        }
    }
    IndexRun(const IndexRun&) = delete;
    IndexRun& operator=(const IndexRun&) = delete;

    void finish() {
        if (m_finished)
            return;
        m_finished = true;
        m_host.showProgressPage(kLogoPage);
        m_run.end();
        m_host.refreshFileList();
    }

private:
    JobHost& m_host;
    JobRun m_run;
    bool m_finished = false;
};

void setDone(JobHost& host, int done) {
    host.setProgressValue(kProgress.bar, done);
    host.setText(kProgress.done, QString::number(done));
}

// The sheets written, each named to the reporter with its first picture.
void addSheets(IndexJobReporter& reporter, const SheetRunResult& sheets) {
    for (const WrittenSheet& sheet : sheets.written)
        reporter.noteWritten(sheet.firstFile, sheet.sheet);
}

void sheetsUnderStem(JobHost& host, const IndexJobOptions& options, const QString& startFolder,
                     ResultFiles& results, IndexJobReporter& reporter) {
    const QStringList files = host.lists().AlteDateinamen;
    const QString base = ResultFolder(options.destination, startFolder) + options.stem;
    const int side = options.layout.side;
    PicturePrefetcher pictures(
        files, [side](const QString& path) { return LoadCellPicture(path, side); },
        PicturePrefetcher::defaultThreads());
    addSheets(reporter, BuildIndexSheets(options.layout, files, base, pictures, results));
}

void sheetsBySeries(JobHost& host, const IndexJobOptions& options, ResultFiles& results,
                    IndexJobReporter& reporter, IndexJobResult& result) {
    // The work list is left sorted, as the window's sorted list was.
    QStringList& list = host.lists().AlteDateinamen;
    list = SortedForSeries(list);
    const QList<FileSeries> all = FindSeries(list, options.series);
    // Series are found by their names alone, so the pictures of every series
    // that gets a sheet can be loaded ahead across series.
    QStringList drawn;
    for (const FileSeries& series : all)
        if (series.files.size() >= 2)
            drawn += series.files;
    const int side = options.layout.side;
    PicturePrefetcher pictures(
        drawn, [side](const QString& path) { return LoadCellPicture(path, side); },
        PicturePrefetcher::defaultThreads());
    for (const FileSeries& series : all) {
        host.processPendingMessages();
        if (host.stopFlags().BatchJobStop.load() == 1) {
            result.stopped = true;
            return;
        }
        if (series.files.size() >= 2) {
            const QString folder =
                ResultFolder(options.destination, FileFolder(series.files.first()));
            const QString base = folder + options.prefix + series.name + options.postfix;
            addSheets(reporter,
                      BuildIndexSheets(options.layout, series.files, base, pictures, results));
        }
        setDone(host, series.end);
        result.done = series.end;
    }
}

void showSummary(JobHost& host, const char* job, const IndexJobResult& result,
                 const ResultFiles& results) {
    JobSummary summary;
    summary.job = OwnText(job);
    summary.written = results.written();
    summary.where = results.where();
    summary.skipped = results.skipped();
    summary.stopped = result.stopped;
    summary.done = result.done;
    summary.total = result.collected;
    host.showSummary(SummaryLine(summary));
}

} // namespace

IndexJobResult MakeIndexPictures(JobHost& host, const IndexJobOptions& options,
                                 IndexJobReporter* reporter) {
    IndexJobResult result;
    if (DestinationMissing(options.destination)) {
        refuse(host, result, CatalogueId::NoDestination);
        return result;
    }
    const QStringList startFolders = startFoldersOf(host, options.startFolders);
    {
        IndexRun run(host, JobKind::IndexPictures);
        collect(host, options.recursive, startFolders, options.destination);
        result.collected = int(host.lists().AlteDateinamen.size());
        if (result.collected > 0) {
            host.stopFlags().BatchJobStop = 0;
            host.showProgressPage(kFunctionsPage);
            host.setText(kProgress.total, QString::number(result.collected));
            host.setProgressMaximum(kProgress.bar, result.collected);
            ResultFiles results(host);
            IndexJobReporter& report = ReporterOrSilent(reporter);
            if (options.bySeries)
                sheetsBySeries(host, options, results, report, result);
            else
                sheetsUnderStem(host, options, AddTrailingBackslash(startFolders.first()), results,
                                report);
            tally(result, results);
            showSummary(host, "summary.job.index", result, results);
        }
        run.finish();
    }
    if (result.collected == 0)
        refuse(host, result, CatalogueId::NoFilesMarked);
    return result;
}

IndexJobResult MakeThumbnails(JobHost& host, const ThumbnailJobOptions& options,
                              IndexJobReporter* reporter) {
    IndexJobResult result;
    if (DestinationMissing(options.destination)) {
        refuse(host, result, CatalogueId::NoDestination);
        return result;
    }
    // Without both, a thumbnail in the source folder would take its source's name.
    if (options.prefix.isEmpty() && options.postfix.isEmpty()) {
        refuse(host, result, CatalogueId::NoPrefixOrPostfix);
        return result;
    }
    {
        IndexRun run(host, JobKind::Thumbnails);
        collect(host, options.recursive, startFoldersOf(host, options.startFolders),
                options.destination);
        const QStringList files = host.lists().AlteDateinamen;
        result.collected = int(files.size());
        if (result.collected > 0) {
            host.stopFlags().BatchJobStop = 0;
            host.showProgressPage(kFunctionsPage);
            ResultFiles results(host);
            IndexJobReporter& report = ReporterOrSilent(reporter);
            const int side = options.side;
            PicturePrefetcher pictures(
                files, [side](const QString& path) { return LoadThumbnailPicture(path, side); },
                PicturePrefetcher::defaultThreads());
            FileLoop loop(host, &StopFlags::BatchJobStop, kProgress, files.size(),
                          FileLoop::StopAtStart::Keep);
            for (const QString& path : files) {
                if (!loop.next())
                    break;
                const QString folder = ResultFolder(options.destination, FileFolder(path));
                const QString name = ThumbnailName(options.prefix, path, options.postfix);
                if (MakeThumbnail(path, pictures.take(path), folder, name, results))
                    report.noteWritten(path, folder + name);
                loop.advance();
            }
            result.stopped = loop.stopped();
            result.done = loop.done();
            tally(result, results);
            showSummary(host, "summary.job.thumbs", result, results);
        }
        run.finish();
    }
    if (result.collected == 0)
        refuse(host, result, CatalogueId::NoFilesMarked);
    return result;
}
