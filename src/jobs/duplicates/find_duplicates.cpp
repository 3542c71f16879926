#include "jobs/duplicates/find_duplicates.h"

#include "base/scope_exit.h"
#include "fs/file_collection.h"
#include "fs/path_utils.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"
#include "jobs/duplicates/block_compare.h"
#include "jobs/duplicates/group_matcher.h"
#include "jobs/duplicates/walk_prefetcher.h"
#include "jobs/framework/job_controls.h"
#include "jobs/framework/job_host.h"
#include "jobs/framework/job_run.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include <sys/stat.h>

namespace {

const QString& kStatusLine = kDuplicatesControls.status;
const QString& kFilesToCheck = kDuplicatesControls.toCheck;
const QString& kPossibleDuplicates = kDuplicatesControls.possible;
const QString& kFoundDuplicates = kDuplicatesControls.found;

constexpr int kArrangeInOrder = 5;
constexpr int kSizeComparison = 6;
constexpr int kTestForIdentity = 7;

struct SizeRecord {
    QString path;
    qint64 size; // -1: the file could not be opened to take its length
};

bool stopRequested(JobHost& host) {
    return host.stopFlags().BatchJobStop.load() == 1;
}

// A file left out of its group: named to the host, counted in the result.
void leaveOut(JobHost& host, DuplicateSearchResult& result, const QString& path) {
    result.skipped.append(path);
    host.reportSkipped(path, OwnText("dupes.skip_unreadable"));
}

QString ofTotal(int textId, qsizetype ordinal, qsizetype total) {
    return CatalogueText(textId) + QString::number(ordinal) + QStringLiteral(" / ") +
           QString::number(total);
}

// Takes every file's length; false when a stop was requested. The status
// and the stop test follow every file from the second on.
bool orderBySize(JobHost& host, const QStringList& files, std::vector<SizeRecord>& records,
                 DuplicateSearchResult& result) {
    records.reserve(std::size_t(files.size()));
    for (qsizetype i = 0; i < files.size(); ++i) {
        records.push_back({files.at(i), MeasureFileSize(files.at(i))});
        if (records.back().size < 0)
            leaveOut(host, result, files.at(i));
        if (i == 0)
            continue;
        host.setText(kStatusLine, ofTotal(kArrangeInOrder, i + 1, files.size()));
        host.processPendingMessages();
        if (stopRequested(host))
            return false;
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const SizeRecord& a, const SizeRecord& b) { return a.size < b.size; });
    return true;
}

// Keeps the records whose size occurs more than once, in order; false when a
// stop was requested.
bool pruneUniqueSizes(JobHost& host, const std::vector<SizeRecord>& records, qsizetype total,
                      std::vector<SizeRecord>& kept) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        const qint64 size = records[i].size;
        const bool twin = (i > 0 && records[i - 1].size == size) ||
                          (i + 1 < records.size() && records[i + 1].size == size);
        if (twin)
            kept.push_back(records[i]);
        if ((i + 1) % 5 == 0)
            host.setText(kStatusLine, ofTotal(kSizeComparison, qsizetype(i + 1), total));
        host.processPendingMessages();
        if (stopRequested(host))
            return false;
    }
    return true;
}

struct SizeGroup {
    qint64 size;
    QStringList paths; // in DuplicatePathLess order
};

// The pruned records as groups of equal size, in ascending size.
std::vector<SizeGroup> groupBySize(const std::vector<SizeRecord>& kept) {
    std::vector<SizeGroup> groups;
    for (const SizeRecord& record : kept) {
        if (groups.empty() || groups.back().size != record.size)
            groups.push_back({record.size, {}});
        groups.back().paths.append(record.path);
    }
    for (SizeGroup& group : groups)
        std::sort(group.paths.begin(), group.paths.end(), DuplicatePathLess);
    return groups;
}

// Files whose length could not be taken are no group: each is already
// reported, and reading them would fail again.
bool comparable(const SizeGroup& group) {
    return group.size >= 0 && group.paths.size() >= 2;
}

// A second thread pays off once there is enough to read.
bool worthPrefetching(const std::vector<SizeGroup>& groups) {
    if (std::thread::hardware_concurrency() < 2)
        return false;
    qint64 bytes = 0;
    int count = 0;
    for (const SizeGroup& group : groups) {
        if (!comparable(group))
            continue;
        bytes += group.size * group.paths.size();
        ++count;
    }
    return count >= 2 && bytes >= kPrefetchBytes;
}

using PassSource = std::function<PassAnswer(qsizetype first, const std::vector<qsizetype>& others)>;

// The walk of one group with its pairwise comparisons, taking the answers
// pass by pass from `answer`: messages, stop tests, counter and lines just as
// if each pair were compared at its turn.
bool replayWalk(JobHost& host, const QStringList& group, const PassSource& answer,
                DuplicateSearchResult& result, QStringList& lines) {
    std::vector<qsizetype> rest(std::size_t(group.size()));
    for (std::size_t i = 0; i < rest.size(); ++i)
        rest[i] = qsizetype(i);
    while (rest.size() > 1) {
        host.processPendingMessages();
        const qsizetype first = rest.front();
        const PassAnswer pass = answer(first, std::vector<qsizetype>(rest.begin() + 1, rest.end()));
        for (const QString& failed : pass.failed)
            leaveOut(host, result, failed);
        bool matched = false;
        for (std::size_t k = rest.size() - 1; k >= 1; --k) {
            if (k - 1 < pass.same.size() && pass.same[k - 1]) {
                ++result.found;
                host.setText(kFoundDuplicates, QString::number(result.found));
                if (!matched)
                    lines.append(group.at(first));
                lines.append(group.at(rest[k]));
                matched = true;
                rest.erase(rest.begin() + std::ptrdiff_t(k));
            }
            host.processPendingMessages();
            if (stopRequested(host))
                return false;
        }
        rest.erase(rest.begin());
        if (matched)
            lines.append(QString());
        if (stopRequested(host))
            return false;
    }
    return true;
}

// Walks the groups in ascending size. With a prefetcher the reading of the
// coming groups runs on the second core meanwhile.
void compareGroups(JobHost& host, const std::vector<SizeRecord>& kept,
                   DuplicateSearchResult& result, QStringList& lines) {
    const std::vector<SizeGroup> groups = groupBySize(kept);
    std::unique_ptr<WalkPrefetcher> prefetcher;
    if (worthPrefetching(groups)) {
        std::vector<QStringList> work;
        for (const SizeGroup& group : groups)
            if (comparable(group))
                work.push_back(group.paths);
        prefetcher = std::make_unique<WalkPrefetcher>(std::move(work));
    }
    std::size_t taken = 0;
    for (const SizeGroup& group : groups) {
        if (stopRequested(host))
            return;
        host.lists().ListBox_Dup01 = group.paths;
        if (!comparable(group))
            continue;
        if (!prefetcher) {
            if (!CompareSameSizeGroup(host, group.paths, result, lines))
                return;
            continue;
        }
        std::optional<std::vector<PassAnswer>> answers = prefetcher->take(taken++, [&] {
            host.processPendingMessages();
            return !stopRequested(host);
        });
        if (!answers)
            return;
        std::size_t next = 0;
        const PassSource fromAnswers = [&](qsizetype, const std::vector<qsizetype>&) {
            return next < answers->size() ? (*answers)[next++] : PassAnswer{};
        };
        if (!replayWalk(host, group.paths, fromAnswers, result, lines))
            return;
    }
}

} // namespace

bool DuplicatePathLess(const QString& a, const QString& b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    if (folded != 0)
        return folded < 0;
    return a < b;
}

qint64 MeasureFileSize(const QString& path) {
    const FileDescriptor fd = OpenRegularFile(path, false);
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0)
        return -1;
    return st.st_size;
}

bool CompareSameSizeGroup(JobHost& host, const QStringList& group, DuplicateSearchResult& result,
                          QStringList& lines) {
    GroupMatcher matcher(group);
    // All of a first file's answers come from one streamed pass; the walk
    // then takes them in the order of the pairwise comparisons.
    const PassSource fromMatcher = [&](qsizetype first, const std::vector<qsizetype>& others) {
        PassAnswer pass;
        pass.same = matcher.identicalTo(first, others);
        pass.failed = matcher.takeNewlyFailed();
        return pass;
    };
    return replayWalk(host, group, fromMatcher, result, lines);
}

DuplicateSearchResult FindDuplicates(JobHost& host, const QString& folder, QStringList& lines) {
    DuplicateSearchResult result;
    host.setText(kStatusLine, QString());
    BatchLists& batch = host.lists();
    batch.AlteDateinamen.clear();
    {
        host.startWatcher(WatcherKind::FortschrittDuplikate);
        ScopeExit stopWatcher([&] { host.stopWatcher(); });
        // No folder chosen is not the whole file system.
        if (!folder.isEmpty())
            CollectJpegFilesRecursive(host, batch.AlteDateinamen, AddTrailingBackslash(folder));
    }
    const QStringList files = batch.AlteDateinamen;
    result.collected = int(files.size());
    if (files.isEmpty())
        return result;
    host.setText(kFilesToCheck, QString::number(files.size()));
    host.setText(kStatusLine, QString());

    std::vector<SizeRecord> records;
    std::vector<SizeRecord> kept;
    if (!orderBySize(host, files, records, result) ||
        !pruneUniqueSizes(host, records, files.size(), kept)) {
        result.stopped = true;
        return result;
    }
    records.clear();
    host.setText(kStatusLine, CatalogueText(kTestForIdentity));
    if (kept.size() < 2)
        return result;
    result.candidates = int(kept.size());
    host.setText(kPossibleDuplicates, QString::number(result.candidates));
    batch.ListBox_Dup01.clear();
    lines.clear();
    compareGroups(host, kept, result, lines);
    result.stopped = stopRequested(host);
    return result;
}

DuplicateSearchResult SearchDuplicates(JobHost& host, const QString& folder, QStringList& lines) {
    // The search has no bar and no "done" counter; its three counters start at 0.
    JobRun run(host, JobKind::DuplicateSearch, ProgressControls{},
               {kFilesToCheck, kPossibleDuplicates, kFoundDuplicates});
    host.stopFlags().BatchJobStop = 0;
    host.showProgressPage(kDuplicatesPage);
    ScopeExit logoPage([&] { host.showProgressPage(kLogoPage); });
    lines.clear();
    const DuplicateSearchResult result = FindDuplicates(host, folder, lines);
    QString summary = OwnText("summary.dupes")
                          .arg(result.collected)
                          .arg(result.found)
                          .arg(lines.count(QString()));
    if (result.stopped)
        summary += OwnText("summary.dupes.stopped");
    if (!result.skipped.isEmpty())
        summary += OwnText("summary.skipped").arg(result.skipped.size());
    host.showSummary(summary);
    return result;
}
