#include "common/test_env.h"

#include "app/open_with_program.h"
#include "i18n/catalogue.h"
#include "settings/app_settings.h"
#include "settings/hive_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

#include <cstdlib>
#include <unistd.h>

namespace testing {

namespace {
QString gRoot;

void setEnv(const char* name, const QString& value) {
    ::setenv(name, QFile::encodeName(value).constData(), 1);
}
} // namespace

void setUpSandbox() {
    QByteArray pattern = "/tmp/kelvasto-test-XXXXXX";
    if (const char* base = std::getenv("TMPDIR"); base && *base)
        pattern = QByteArray(base) + "/kelvasto-test-XXXXXX";
    char* made = ::mkdtemp(pattern.data());
    if (!made)
        std::abort();
    gRoot = QFile::decodeName(made);
    for (const char* sub : {"home", "config", "data", "cache", "tmp"})
        QDir(gRoot).mkpath(QString::fromLatin1(sub));
    setEnv("HOME", gRoot + "/home");
    setEnv("XDG_CONFIG_HOME", gRoot + "/config");
    setEnv("XDG_DATA_HOME", gRoot + "/data");
    setEnv("XDG_CACHE_HOME", gRoot + "/cache");
    setEnv("TMPDIR", gRoot + "/tmp");
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // No test opens a program on the desktop; a test that wants to see the
    // call puts its own recorder in place.
    static const DetachedStartOverride neverLaunch([](const DetachedStartCall&) { return false; });
}

void tearDownSandbox() {
    if (gRoot.isEmpty())
        return;
    // Tests may leave read-only folders behind; make everything writable first.
    QDir root(gRoot);
    const auto fix = [](const QString& dir, auto& self) -> void {
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (const QFileInfo& info :
             QDir(dir).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
            if (!info.isSymLink())
                self(info.absoluteFilePath(), self);
        }
    };
    fix(gRoot, fix);
    root.removeRecursively();
}

QString sandboxRoot() {
    return gRoot;
}
QString configHome() {
    return gRoot + "/config";
}
QString dataHome() {
    return gRoot + "/data";
}
QString homeFolder() {
    return gRoot + "/home";
}

void resetHive() {
    QDir(configHome()).removeRecursively();
    QDir().mkpath(configHome());
}

void resetToFirstStart() {
    resetHive();
    SetLanguageOffset(0);
    SetLanguageIndex(0);
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QJsonObject storedSettingsKey() {
    return QJsonDocument::fromJson(readFile(HiveFilePath()))
        .object()
        .value(kSettingsKeyPath)
        .toObject();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace testing
