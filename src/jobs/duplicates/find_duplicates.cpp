#include "jobs/duplicates/find_duplicates.h"

#include "base/scope_exit.h"
#include "fs/file_collection.h"
#include "fs/path_utils.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"
#include "jobs/duplicates/block_compare.h"
#include "jobs/duplicates/group_walk.h"
#include "jobs/duplicates/identical_classes.h"
#include "jobs/framework/job_controls.h"
#include "jobs/framework/job_host.h"
#include "jobs/framework/job_run.h"

#include <QElapsedTimer>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace {

const QString& kStatusLine = kDuplicatesControls.status;
const QString& kFilesToCheck = kDuplicatesControls.toCheck;
const QString& kPossibleDuplicates = kDuplicatesControls.possible;
const QString& kFoundDuplicates = kDuplicatesControls.found;

struct SizeRecord {
    QString path;
    qint64 size; // -1: the file could not be opened to take its length
};

bool stopRequested(JobHost& host) {
    return host.stopFlags().BatchJobStop.load() == 1;
}

// Lets pending messages through; false when a stop was requested.
bool letWindowIn(JobHost& host) {
    host.processPendingMessages();
    return !stopRequested(host);
}

// A file left out of its group: named to the host, counted in the result.
void leaveOut(JobHost& host, DuplicateSearchResult& result, const QString& path) {
    result.skipped.append(path);
    host.reportSkipped(path, OwnText("dupes.skip_unreadable"));
}

QString ofTotal(CatalogueId textId, qsizetype ordinal, qsizetype total) {
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
        host.setText(kStatusLine, ofTotal(CatalogueId::ArrangeInOrder, i + 1, files.size()));
        host.processPendingMessages();
        if (stopRequested(host))
            return false;
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const SizeRecord& a, const SizeRecord& b) { return a.size < b.size; });
    return true;
}

// Whether record i of the ascending records shares its size with a neighbour.
bool hasTwin(const std::vector<SizeRecord>& records, std::size_t i) {
    const qint64 size = records[i].size;
    return (i > 0 && records[i - 1].size == size) ||
           (i + 1 < records.size() && records[i + 1].size == size);
}

// Keeps the records whose size occurs more than once, in order; false when a
// stop was requested.
bool pruneUniqueSizes(JobHost& host, const std::vector<SizeRecord>& records, qsizetype total,
                      std::vector<SizeRecord>& kept) {
    // Sized once: a vector grown by doubling holds up to twice its records.
    std::size_t twins = 0;
    for (std::size_t i = 0; i < records.size(); ++i)
        twins += hasTwin(records, i);
    kept.reserve(twins);
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (hasTwin(records, i))
            kept.push_back(records[i]);
        if ((i + 1) % 5 == 0)
            host.setText(kStatusLine,
                         ofTotal(CatalogueId::SizeComparison, qsizetype(i + 1), total));
        host.processPendingMessages();
        if (stopRequested(host))
            return false;
    }
    return true;
}

// The pruned records as groups of equal size, in ascending size; the paths
// of a group in the order of the records.
std::vector<SizeGroup> groupBySize(const std::vector<SizeRecord>& kept) {
    std::vector<SizeGroup> groups;
    for (std::size_t begin = 0; begin < kept.size();) {
        std::size_t end = begin + 1;
        while (end < kept.size() && kept[end].size == kept[begin].size)
            ++end;
        SizeGroup group{kept[begin].size, {}};
        group.paths.reserve(qsizetype(end - begin));
        for (std::size_t i = begin; i < end; ++i)
            group.paths.append(kept[i].path);
        groups.push_back(std::move(group));
        begin = end;
    }
    return groups;
}

// Files whose length could not be taken are no group: each is already
// reported, and reading them would fail again.
bool comparable(const SizeGroup& group) {
    return group.size >= 0 && group.paths.size() >= 2;
}

// What the played walk shows on the host: the lines, the found counter, and
// the window let in (and the stop request read) where the walk would.
class WalkOnHost : public GroupWalk::Observer {
public:
    WalkOnHost(JobHost& host, const QStringList& group, DuplicateSearchResult& result,
               QStringList& lines)
        : m_host(host), m_group(group), m_result(result), m_lines(lines) {
        m_sinceLook.start();
    }

    bool goOn(qint64) override {
        m_sinceLook.restart();
        return letWindowIn(m_host);
    }
    void matched(qsizetype first, qsizetype member, bool firstMatch) override {
        ++m_result.found;
        m_host.setText(kFoundDuplicates, QString::number(m_result.found));
        if (firstMatch)
            m_lines.append(m_group.at(first));
        m_lines.append(m_group.at(member));
    }
    void passEnded() override { m_lines.append(QString()); }

    // Passes without a match show nothing; a long run of them still lets
    // the window in now and then. False to stop.
    bool lookNowAndThen(GroupWalk& walk) {
        return m_sinceLook.elapsed() < IdenticalClasses::kWaitSliceMs || walk.checkpoint(*this);
    }

private:
    JobHost& m_host;
    const QStringList& m_group;
    DuplicateSearchResult& m_result;
    QStringList& m_lines;
    QElapsedTimer m_sinceLook;
};

// Plays the walk of group `index` of `classes` from its classes. False when
// the stop request ended it.
bool playGroup(JobHost& host, IdenticalClasses& classes, std::size_t index,
               const QStringList& group, DuplicateSearchResult& result, QStringList& lines) {
    GroupWalk walk(group.size());
    WalkOnHost shown(host, group, result, lines);
    bool completed = true;
    while (completed && !walk.done()) {
        std::optional<std::vector<qsizetype>> identical =
            classes.identicalTo(index, walk.first(), [&] { return walk.checkpoint(shown); });
        completed =
            identical && walk.playPass(std::move(*identical), shown) && shown.lookNowAndThen(walk);
    }
    if (completed)
        walk.finish(shown);
    for (const QString& failed : classes.failed(index))
        leaveOut(host, result, failed);
    classes.release(index);
    return completed;
}

// Walks the groups in ascending size; the workers put the coming groups in
// the walk's order and split them into classes meanwhile.
void compareGroups(JobHost& host, std::vector<SizeGroup>& groups, DuplicateSearchResult& result,
                   QStringList& lines) {
    // Taken before the paths move to the workers.
    std::vector<char> compared;
    for (const SizeGroup& group : groups)
        compared.push_back(comparable(group));
    std::unique_ptr<IdenticalClasses> classes;
    std::size_t taken = 0;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (stopRequested(host))
            return;
        if (!compared[g]) {
            std::sort(groups[g].paths.begin(), groups[g].paths.end(), DuplicatePathLess);
            host.lists().ListBox_Dup01 = groups[g].paths;
            continue;
        }
        // As the walk does before it compares; the reading starts after it.
        host.processPendingMessages();
        if (!classes) {
            std::vector<SizeGroup> work;
            for (std::size_t later = g; later < groups.size(); ++later)
                if (compared[later])
                    work.push_back(std::move(groups[later]));
            classes = std::make_unique<IdenticalClasses>(std::move(work), DuplicatePathLess,
                                                         host.stopFlags().BatchJobStop);
        }
        const std::optional<QStringList> group =
            classes->orderedPaths(taken, [&] { return letWindowIn(host); });
        if (!group)
            return;
        host.lists().ListBox_Dup01 = *group;
        if (!playGroup(host, *classes, taken++, *group, result, lines))
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
    qint64 length = -1;
    const FileDescriptor fd = OpenRegularFile(path, false, &length);
    return fd.valid() ? length : -1;
}

bool CompareSameSizeGroup(JobHost& host, const QStringList& group, DuplicateSearchResult& result,
                          QStringList& lines) {
    host.processPendingMessages();
    if (group.size() < 2)
        return true;
    IdenticalClasses classes({{MeasureFileSize(group.front()), group}}, DuplicatePathLess,
                             host.stopFlags().BatchJobStop);
    const std::optional<QStringList> ordered =
        classes.orderedPaths(0, [&] { return letWindowIn(host); });
    return ordered && playGroup(host, classes, 0, *ordered, result, lines);
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
    std::vector<SizeRecord>().swap(records);
    host.setText(kStatusLine, CatalogueText(CatalogueId::TestForIdentity));
    if (kept.size() < 2)
        return result;
    result.candidates = int(kept.size());
    host.setText(kPossibleDuplicates, QString::number(result.candidates));
    batch.ListBox_Dup01.clear();
    lines.clear();
    // The records go before the comparing: with a million files they are
    // a tenth of the search's memory.
    std::vector<SizeGroup> groups = groupBySize(kept);
    std::vector<SizeRecord>().swap(kept);
    compareGroups(host, groups, result, lines);
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
