#pragma once
// A sandbox for each test program: HOME, XDG_CONFIG_HOME, XDG_DATA_HOME,
// XDG_CACHE_HOME and TMPDIR point into one fresh folder, so no test touches the
// real user's files or settings.

#include <QJsonObject>
#include <QString>

namespace testing {

// Creates the sandbox and sets the variables. Called by the test main before
// the application object exists.
void setUpSandbox();
// Removes the sandbox folder.
void tearDownSandbox();

// The sandbox root (".../kelvasto-test-XXXXXX").
QString sandboxRoot();
QString configHome();
QString dataHome();
QString homeFolder();

// The program's settings key as it stands in the hive file now (empty when
// the file or the key is missing).
QJsonObject storedSettingsKey();

// Deletes the settings hive so the next read starts as a first start.
void resetHive();
// resetHive, and the catalogue back to German: the program as it stands
// before its first start.
void resetToFirstStart();

// Writes `bytes` to `path`, creating parent folders. Returns false on failure.
bool writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

} // namespace testing
