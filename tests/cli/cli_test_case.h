#pragma once
// What the tests of kelvasto-batch share: running the tool as a user runs it,
// and a sandbox folder per test whose "work/" is the stored working folder.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class QProcess;

namespace cli {

// The kelvasto-batch built beside the test program.
QString toolPath();

struct ToolRun {
    int exitCode = -1; // also when the tool did not end normally within a minute
    QString out;       // stdout as UTF-8
    QString err;       // stderr as UTF-8
    QByteArray rawOut; // stdout as it came
};

// How the tool is started: the locale (English unless a test says
// otherwise), the current folder, and for root the file permissions that
// root usually bypasses.
struct Launch {
    QString workingFolder;
    QStringList environment = {QStringLiteral("LANG=C.UTF-8")};
    bool dropFileAccessOverride = false;
};

// For tests that drive the process themselves (input, signals).
void prepare(QProcess& process, const Launch& launch);
ToolRun finish(QProcess& process);

ToolRun runTool(const QStringList& args, const Launch& launch = {});
// Through sh, for arguments whose bytes QProcess cannot pass (not UTF-8):
// `script` may use printf; "$0" is the tool.
ToolRun runToolScript(const QString& script, const Launch& launch = {});

} // namespace cli

// The base of a test class of the tool: a sandbox per test function, opened
// in init() and closed in cleanup().
class CliTestCase : public QObject {
protected:
    // An empty settings hive and a new sandbox folder named after `name`;
    // with `storeSettings` its "work/" is the stored working folder and the
    // stored language is English. The test program's own locale becomes
    // English as well, for the processes a test starts itself.
    bool openSandbox(const QString& name, bool storeSettings = true);
    void closeSandbox() { m_dir.reset(); }

    QString root() const { return m_dir->path(); }
    QString path(const QString& relative) const;
    QString work() const { return path(QStringLiteral("work/")); }
    bool file(const QString& relative, const QByteArray& bytes) const;
    bool exists(const QString& relative) const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};
