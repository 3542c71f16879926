#include "main_window_fixture.h"

#include "common/test_env.h"
#include "ui/main_window/shell_file_list.h"

#include <QDir>
#include <QTest>

namespace mwtest {

AppSettings FirstStartSettings() {
    AppSettings s;
    s.Arbeitsverzeichnis = testing::sandboxRoot() + QStringLiteral("/");
    s.Startverzeichnis = testing::homeFolder() + QStringLiteral("/");
    s.Protokolldatei = QStringLiteral("Protokoll.txt");
    s.UnterverzeichnisIdx = QStringLiteral("Index");
    s.UnterverzeichnisThumb = QStringLiteral("Thumbnails");
    s.UnterverzeichnisSonst = QStringLiteral("Sonst");
    return s;
}

std::unique_ptr<THauptForm> MakeWindow(std::function<void(AppSettings&)> customise) {
    return std::make_unique<THauptForm>([customise] {
        AppSettings s = FirstStartSettings();
        if (customise)
            customise(s);
        return s;
    });
}

Folder::Folder(const QStringList& names)
    : dir(testing::homeFolder() + QStringLiteral("/list-XXXXXX")) {
    for (const QString& name : names) {
        if (name.endsWith(QLatin1Char('/')))
            QDir().mkpath(file(name));
        else
            testing::writeFile(file(name), QByteArray("x"));
    }
}

bool ShowFolder(THauptForm& window, const QString& folder) {
    if (!window.selectTreeFolder(folder))
        return false;
    return QTest::qWaitFor([&] {
        return QDir::cleanPath(window.fileList()->folder()) == QDir::cleanPath(folder) &&
               window.fileList()->isLoaded();
    });
}

bool WaitForItems(THauptForm& window, const QStringList& names) {
    const bool ok = QTest::qWaitFor([&] { return window.fileList()->itemNames() == names; }, 3000);
    if (!ok)
        qWarning() << "listed" << window.fileList()->itemNames() << "expected" << names;
    return ok;
}

} // namespace mwtest
