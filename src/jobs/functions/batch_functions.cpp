#include "jobs/functions/batch_functions.h"

#include "base/errors.h"
#include "base/scope_exit.h"
#include "fs/file_collection.h"
#include "fs/path_utils.h"
#include "fs/result_files.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"
#include "imaging/imaging_context.h"
#include "imaging/optimise.h"
#include "imaging/picture_files.h"
#include "imaging/simple_effects.h"
#include "jobs/framework/job_controls.h"
#include "jobs/framework/job_host.h"
#include "jobs/framework/job_run.h"
#include "jobs/framework/picture_prefetch.h"

#include <functional>

namespace {

const FunctionsControls& kControls = kFunctionsControls;

constexpr int kNoFileMarked = 9001;
constexpr int kNoDestination = 9003;
constexpr int kAntiAliasPercent = 100;
// How many skipped files the closing notice names before it only counts.
constexpr int kNamedSkips = 10;

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

void showNotice(JobHost& host, int id) {
    host.showMessage(CatalogueText(id), MessageKind::Information, ButtonBit(DialogButton::OK));
}

// Fills the work list; false (after message 9001) when it stays empty.
bool collect(JobHost& host, const BatchFunctionOptions& options, const QStringList& masks) {
    QStringList& list = host.lists().AlteDateinamen;
    if (options.recursive) {
        list.clear();
        QStringList folders = options.startFolders;
        if (folders.isEmpty())
            folders.append(host.selectedFolder());
        for (const QString& folder : folders)
            if (!folder.isEmpty()) // no folder chosen is not the whole file system
                CollectFilesRecursive(host, list, AddTrailingBackslash(folder), masks);
    } else {
        CollectSelectedFiles(host, list);
    }
    if (!list.isEmpty())
        return true;
    showNotice(host, kNoFileMarked);
    return false;
}

// Writes the results and keeps the tally; nothing written is ever silent.
class ResultWriter {
public:
    ResultWriter(BatchFunctionReporter* reporter, BatchFunctionResult& result)
        : m_reporter(reporter), m_result(result) {}

    void write(const Picture& picture, const QString& source, const QString& target) {
        QString reason;
        if (target == source)
            reason = OwnText("functions.skip.same");
        else if (WriteResultJpeg(picture, target, reason)) {
            ++m_result.written;
            if (m_reporter)
                m_reporter->noteResult(source, target);
            return;
        }
        ++m_result.skipped;
        m_skips << target + QStringLiteral(": ") + reason;
        if (m_reporter)
            m_reporter->noteSkippedFile(target, reason);
    }

    // The window has no other place to say that results are missing.
    void showSkips(JobHost& host) const {
        if (m_skips.isEmpty() || m_reporter)
            return;
        QStringList lines = m_skips.mid(0, kNamedSkips);
        if (m_skips.size() > kNamedSkips)
            lines << QStringLiteral("...");
        host.showMessage(OwnText("functions.skipped").arg(m_skips.size()) + QLatin1Char('\n') +
                             lines.join(QLatin1Char('\n')),
                         MessageKind::Warning, ButtonBit(DialogButton::OK));
    }

private:
    BatchFunctionReporter* m_reporter;
    BatchFunctionResult& m_result;
    QStringList m_skips;
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
                loaded.error = QString::fromUtf8(error.what());
            }
            return loaded;
        },
        threads);
}

// The picture of the next file; a file that cannot be read ends the run.
Picture takePicture(PicturePrefetcher& prefetcher, const QString& path) {
    LoadedPicture loaded = prefetcher.take(path);
    if (!loaded.error.isEmpty() || loaded.picture.isEmpty())
        throw KelvastoError((path + QStringLiteral(": ") + loaded.error).toStdString());
    return std::move(loaded.picture);
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
    showNotice(host, kNoDestination);
    return true;
}

} // namespace

BatchFunctionResult RunJpegFunction(JobHost& host, BatchFunction function,
                                    const BatchFunctionOptions& options,
                                    BatchFunctionReporter* reporter) {
    BatchFunctionResult result;
    if (refusedWithoutDestination(host, options, result))
        return result;
    ResultWriter writer(reporter, result);
    {
        // Declared first so it runs last: the list shows the results once
        // the window is usable again.
        ScopeExit refresh([&host] { host.refreshFileList(); });
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
            Picture picture = takePicture(prefetcher, path);
            ApplyBatchFunction(context, picture, function);
            writer.write(picture, path,
                         ResultPath(options.destination, BatchResultName(path, function)));
            loop.advance();
        }
        result.stopped = loop.stopped();
    }
    writer.showSkips(host);
    return result;
}

BatchFunctionResult ConvertBitmapsToJpeg(JobHost& host, const BatchFunctionOptions& options,
                                         BatchFunctionReporter* reporter) {
    BatchFunctionResult result;
    if (refusedWithoutDestination(host, options, result))
        return result;
    ResultWriter writer(reporter, result);
    {
        ScopeExit refresh([&host] { host.refreshFileList(); });
        JobRun run(host, JobKind::BmpToJpeg, ProgressControls{});
        if (!collect(host, options, {QStringLiteral("*.bmp")})) {
            result.nothingToDo = true;
            return result;
        }
        const QStringList files = host.lists().AlteDateinamen;
        result.collected = int(files.size());
        PicturePrefetcher prefetcher = makePrefetcher(
            files, [](const QString& path) { return LoadBmpFile(path); }, options.decodeThreads);
        int done = 0;
        for (const QString& path : files) {
            writer.write(takePicture(prefetcher, path), path,
                         ResultPath(options.destination, BitmapResultName(path)));
            if (reporter)
                reporter->noteConverted(++done, int(files.size()));
        }
    }
    writer.showSkips(host);
    return result;
}
