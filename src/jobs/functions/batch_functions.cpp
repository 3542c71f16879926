#include "jobs/functions/batch_functions.h"

#include "base/errors.h"
#include "base/scope_exit.h"
#include "fs/file_collection.h"
#include "fs/path_utils.h"
#include "fs/result_files.h"
#include "i18n/catalogue.h"
#include "i18n/failure_texts.h"
#include "i18n/own_texts.h"
#include "imaging/imaging_context.h"
#include "imaging/optimise.h"
#include "imaging/picture_files.h"
#include "imaging/simple_effects.h"
#include "jobs/framework/job_controls.h"
#include "jobs/framework/job_host.h"
#include "jobs/framework/job_run.h"
#include "jobs/framework/job_summary.h"
#include "jobs/framework/picture_prefetch.h"

#include <functional>

namespace {

const FunctionsControls& kControls = kFunctionsControls;

constexpr int kAntiAliasPercent = 100;

struct NameParts {
    QString folderAndBase; // D + B
    QString extension;     // E, with its dot; empty when the name has none
};

NameParts splitName(const QString& source) {
    const qsizetype slash = source.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = source.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash)
        return {source, QString()};
    return {source.left(dot), source.mid(dot)};
}

QString suffixOf(BatchFunction function) {
    switch (function) {
    case BatchFunction::AntiAlias:
        return QStringLiteral("_aa");
    case BatchFunction::Optimise:
        return QStringLiteral("_opt");
    case BatchFunction::BlackWhite:
        return QStringLiteral("_sw");
    }
    return {};
}

void showNotice(JobHost& host, CatalogueId id) {
    host.showMessage(CatalogueText(id), MessageKind::Information, ButtonBit(DialogButton::OK));
}

// Fills the work list; false (after NoFilesMarked) when it stays empty.
bool collect(JobHost& host, const BatchFunctionOptions& options, const QStringList& masks) {
    QStringList& list = host.lists().AlteDateinamen;
    if (options.recursive) {
        list.clear();
        QStringList folders = options.startFolders;
        if (folders.isEmpty())
            folders.append(host.selectedFolder());
        const LeftOutFolder results = ResultFoldersOf(options.destination);
        for (const QString& folder : folders)
            if (!folder.isEmpty()) // no folder chosen is not the whole file system
                CollectFilesRecursive(host, list, AddTrailingBackslash(folder), masks, results);
    } else {
        CollectSelectedFiles(host, list);
    }
    if (!list.isEmpty())
        return true;
    showNotice(host, CatalogueId::NoFilesMarked);
    return false;
}

// Writes the results and keeps the tally; nothing written is ever silent.
class ResultWriter {
public:
    ResultWriter(JobHost& host, BatchFunctionReporter* reporter, BatchFunctionResult& result)
        : m_results(host), m_reporter(reporter), m_result(result) {}

    void write(const Picture& picture, const QString& source, const QString& target) {
        if (target == source)
            m_results.passOver(target, OwnText("functions.skip.same"));
        else if (m_results.write(picture, target) && m_reporter)
            m_reporter->noteResult(source, target);
        m_result.written = m_results.written();
        m_result.skipped = m_results.skipped();
    }

    // The file that cannot be read ends the run, and says so.
    void endAt(const QString& path, const QString& reason, int notProcessed) {
        m_result.endedAt = path;
        m_result.notProcessed = notProcessed;
        m_results.passOver(path, OwnText("functions.ended_at").arg(reason).arg(notProcessed));
        m_result.skipped = m_results.skipped();
    }

    // The line in the status bar.
    void showSummary(JobHost& host, const char* job) const {
        JobSummary summary;
        summary.job = OwnText(job);
        summary.written = m_results.written();
        summary.where = m_results.where();
        summary.skipped = m_results.skipped() - (m_result.endedAt.isEmpty() ? 0 : 1);
        summary.stopped = m_result.stopped;
        summary.done = m_result.done;
        summary.total = m_result.collected;
        summary.notProcessed = m_result.notProcessed;
        host.showSummary(SummaryLine(summary));
    }

private:
    ResultFiles m_results;
    BatchFunctionReporter* m_reporter;
    BatchFunctionResult& m_result;
};

using FileReader = std::function<Picture(const QString&)>;

PicturePrefetcher makePrefetcher(const QStringList& files, FileReader read, int threads) {
    return PicturePrefetcher(
        files,
        [read = std::move(read)](const QString& path) {
            LoadedPicture loaded;
            try {
                loaded.picture = read(path);
            } catch (const KelvastoError& error) {
                loaded.error = FailureText(error);
            }
            return loaded;
        },
        threads);
}

// The picture of the next file; empty (after the writer was told) when it
// cannot be read, which ends the run.
Picture takePicture(PicturePrefetcher& prefetcher, const QString& path, ResultWriter& writer,
                    int notProcessed) {
    LoadedPicture loaded = prefetcher.take(path);
    if (loaded.error.isEmpty() && !loaded.picture.isEmpty())
        return std::move(loaded.picture);
    writer.endAt(path,
                 loaded.error.isEmpty() ? OwnText("reason.failure.unspecified") : loaded.error,
                 notProcessed);
    return Picture();
}

const char* summaryJob(BatchFunction function) {
    switch (function) {
    case BatchFunction::AntiAlias:
        return "summary.job.aa";
    case BatchFunction::Optimise:
        return "summary.job.opt";
    case BatchFunction::BlackWhite:
        return "summary.job.sw";
    }
    return "summary.job.aa";
}

} // namespace

QString BatchResultName(const QString& source, BatchFunction function) {
    const NameParts parts = splitName(source);
    return parts.folderAndBase + suffixOf(function) + parts.extension;
}

QString BitmapResultName(const QString& source) {
    return splitName(source).folderAndBase + QStringLiteral(".jpg");
}

void ApplyBatchFunction(ImagingContext& context, Picture& picture, BatchFunction function) {
    switch (function) {
    case BatchFunction::AntiAlias:
        AntiAliasPicture(picture, {0, 0, picture.width(), picture.height()}, kAntiAliasPercent);
        break;
    case BatchFunction::Optimise:
        OptimisePicture(context, picture);
        break;
    case BatchFunction::BlackWhite:
        GreyPicture(picture);
        break;
    }
}

namespace {

// A set-folder choice without a folder: the notice, and nothing done.
bool refusedWithoutDestination(JobHost& host, const BatchFunctionOptions& options,
                               BatchFunctionResult& result) {
    if (!DestinationMissing(options.destination))
        return false;
    result.noDestination = true;
    showNotice(host, CatalogueId::NoDestination);
    return true;
}

} // namespace

BatchFunctionResult RunJpegFunction(JobHost& host, BatchFunction function,
                                    const BatchFunctionOptions& options,
                                    BatchFunctionReporter* reporter) {
    BatchFunctionResult result;
    if (refusedWithoutDestination(host, options, result))
        return result;
    {
        // Declared first so it runs last: the list shows the results once
        // the window is usable again.
        ScopeExit refresh([&host] { host.refreshFileList(); });
        ResultWriter writer(host, reporter, result);
        // Locked before collecting, so a second click cannot start a run
        // inside this one while the tree is walked.
        JobRun run(host, JobKind::JpegFunctions, kControls.progress);
        if (!collect(host, options, {QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")})) {
            result.nothingToDo = true;
            return result;
        }
        host.stopFlags().BatchJobStop = 0;
        const QStringList files = host.lists().AlteDateinamen;
        result.collected = int(files.size());
        host.showProgressPage(kFunctionsPage);
        ScopeExit logoPage([&host] { host.showProgressPage(kLogoPage); });

        ImagingContext context;
        PicturePrefetcher prefetcher = makePrefetcher(
            files, [](const QString& path) { return LoadJpegFile(path); }, options.decodeThreads);
        FileLoop loop(host, &StopFlags::BatchJobStop, kControls.progress, files.size(),
                      FileLoop::StopAtStart::Keep);
        for (const QString& path : files) {
            if (!loop.next())
                break;
            Picture picture =
                takePicture(prefetcher, path, writer, int(files.size()) - loop.done());
            if (picture.isEmpty())
                break;
            ApplyBatchFunction(context, picture, function);
            writer.write(picture, path,
                         ResultPath(options.destination, BatchResultName(path, function)));
            loop.advance();
        }
        result.stopped = loop.stopped();
        result.done = loop.done();
        writer.showSummary(host, summaryJob(function));
    }
    return result;
}

BatchFunctionResult ConvertBitmapsToJpeg(JobHost& host, const BatchFunctionOptions& options,
                                         BatchFunctionReporter* reporter) {
    BatchFunctionResult result;
    if (refusedWithoutDestination(host, options, result))
        return result;
    {
        ScopeExit refresh([&host] { host.refreshFileList(); });
        ResultWriter writer(host, reporter, result);
        JobRun run(host, JobKind::BmpToJpeg, ProgressControls{});
        if (!collect(host, options, {QStringLiteral("*.bmp")})) {
            result.nothingToDo = true;
            return result;
        }
        const QStringList files = host.lists().AlteDateinamen;
        result.collected = int(files.size());
        PicturePrefetcher prefetcher = makePrefetcher(
            files, [](const QString& path) { return LoadBmpFile(path, CutOffBitmap::Refuse); },
            options.decodeThreads);
        for (const QString& path : files) {
            const Picture picture =
                takePicture(prefetcher, path, writer, int(files.size()) - result.done);
            if (picture.isEmpty())
                break;
            writer.write(picture, path, ResultPath(options.destination, BitmapResultName(path)));
            ++result.done;
            if (reporter)
                reporter->noteConverted(result.done, int(files.size()));
        }
        writer.showSummary(host, "summary.job.bmp");
    }
    return result;
}
