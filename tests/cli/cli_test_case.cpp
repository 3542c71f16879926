#include "cli/cli_test_case.h"

#include "common/test_env.h"
#include "settings/app_settings.h"
#include "settings/hive_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <linux/capability.h>
#include <sys/prctl.h>

namespace cli {

QString toolPath() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../src/cli/kelvasto-batch"));
}

void prepare(QProcess& process, const Launch& launch) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"})
        environment.remove(QString::fromLatin1(name));
    for (const QString& assignment : launch.environment)
        environment.insert(assignment.section(QLatin1Char('='), 0, 0),
                           assignment.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(environment);
    if (!launch.workingFolder.isEmpty())
        process.setWorkingDirectory(launch.workingFolder);
    if (launch.dropFileAccessOverride)
        process.setChildProcessModifier([] {
            // Without these root meets the permission bits like anyone else.
            ::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
            ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
        });
}

ToolRun finish(QProcess& process) {
    ToolRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.rawOut = process.readAllStandardOutput();
    run.out = QString::fromUtf8(run.rawOut);
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

ToolRun runTool(const QStringList& args, const Launch& launch) {
    QProcess process;
    prepare(process, launch);
    process.start(toolPath(), args);
    return finish(process);
}

ToolRun runToolScript(const QString& script, const Launch& launch) {
    QProcess process;
    prepare(process, launch);
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script, toolPath()});
    return finish(process);
}

} // namespace cli

bool CliTestCase::openSandbox(const QString& name, bool storeSettings) {
    // The tool speaks the locale's language; the checks read English.
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
        qunsetenv(variable);
    qputenv("LANG", "C.UTF-8");
    testing::resetHive();
    m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QLatin1Char('/') + name +
                                            QStringLiteral("-XXXXXX"));
    if (!m_dir->isValid())
        return false;
    if (!storeSettings)
        return true;
    HiveKey key(kSettingsKeyPath);
    return QDir().mkpath(work()) && key.writeString(QStringLiteral("Arbeitsverzeichnis"), work()) &&
           key.writeInteger(QStringLiteral("Sprache"), 10000);
}

QString CliTestCase::path(const QString& relative) const {
    return m_dir->path() + QLatin1Char('/') + relative;
}

bool CliTestCase::file(const QString& relative, const QByteArray& bytes) const {
    return testing::writeFile(path(relative), bytes);
}

bool CliTestCase::exists(const QString& relative) const {
    return QFileInfo::exists(path(relative));
}
