#include "jobs/defect_scan/defect_results.h"

#include "base/scope_exit.h"
#include "fs/file_collection.h"
#include "fs/path_utils.h"
#include "i18n/catalogue.h"
#include "jobs/defect_scan/defect_scan.h"
#include "jobs/framework/job_host.h"

#include <QFileInfo>

namespace {

// Names the scan gives ("Defekt1_a.jpg" and longer); "Defekt.jpg" stays.
bool isScanResultName(const QString& path) {
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    return name.size() > 10 && name.startsWith(QStringLiteral("Defekt"), Qt::CaseSensitive);
}

} // namespace

QString DeleteDefectiveFiles(JobHost& host, const QString& destination) {
    const QString folder = DefectFolderFor(host.settings(), destination);
    QStringList& list = host.lists().AlteDateinamen;
    list.clear();
    CollectJpegFilesRecursive(host, list, folder);
    if (list.isEmpty())
        return folder;
    const int answer =
        host.showMessage(CatalogueText(CatalogueId::ReallyDeleteInvalidFiles), MessageKind::Warning,
                         DialogButton::OK | DialogButton::Abort);
    if (answer != DialogResult::OK)
        return folder;
    {
        host.setBusyCursor(true);
        ScopeExit restoreCursor([&] { host.setBusyCursor(false); });
        for (const QString& path : std::as_const(list))
            if (isScanResultName(path))
                RecycleFile(path);
    }
    host.refreshFileList();
    return folder;
}

DestinationStart DestinationChooserStart(const QString& fieldText, const QString& homeFolder) {
    if (fieldText.isEmpty())
        return {true, fieldText};
    if (!IsDriveReady(fieldText))
        return {false, homeFolder};
    if (QFileInfo(fieldText).isDir())
        return {true, fieldText};
    return {true, AddTrailingBackslash(NearestExistingFolder(fieldText))};
}
