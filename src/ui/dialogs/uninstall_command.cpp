#include "ui/dialogs/uninstall_command.h"

#include "app/open_with_program.h"
#include "app/package_owner.h"
#include "app/uninstall_script.h"
#include "base/errors.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"
#include "settings/app_settings.h"
#include "settings/hive_store.h"
#include "ui/dialogs/message_dialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <utility>

namespace {

UninstallTarget& currentTarget() {
    static UninstallTarget target{QString(), [] { std::_Exit(0); }};
    return target;
}

QString programFile() {
    const QString overridden = currentTarget().programFile;
    return overridden.isEmpty() ? QCoreApplication::applicationFilePath() : overridden;
}

void tell(const QString& text) {
    ShowMessageDialog(text, MessageKind::Warning, ButtonBit(DialogButton::OK),
                      CurrentLanguageName());
}

} // namespace

void UninstallProgram() {
    const QString program = programFile();
    // The package manager owns a package's files: deleting them behind its
    // back would leave it believing they are there.
    const QString& packages = currentTarget().dpkgInfoFolder;
    const QString package = OwningPackage(
        program, packages.isEmpty() ? QString::fromLatin1(kDpkgInfoFolder) : packages);
    if (!package.isEmpty()) {
        tell(OwnText("uninstall.packageOwned").arg(package));
        return;
    }
    // Said before anything is asked or deleted: a package's files go with
    // the package manager.
    if (!ProgramFileRemovable(program)) {
        tell(OwnText("uninstall.notRemovable").arg(QFileInfo(program).absolutePath()));
        return;
    }
    if (ShowMessageDialog(CatalogueText(CatalogueId::ReallyUninstall), MessageKind::Confirmation,
                          DialogButton::Yes | DialogButton::No,
                          CurrentLanguageName()) != DialogResult::Yes)
        return;
    // The script is written and started before the key goes, so a failure
    // leaves the settings as they were.
    QString script;
    try {
        script = WriteUninstallScript(program);
    } catch (const KelvastoError&) {
        tell(OwnText("uninstall.failed"));
        return;
    }
    // The script must not keep the program folder busy as its current folder.
    const QString temp = QDir::tempPath();
    QDir::setCurrent(temp);
    if (!StartDetachedProgram({QStringLiteral("/bin/sh"), {script}, temp})) {
        QFile::remove(script);
        tell(OwnText("uninstall.failed"));
        return;
    }
    DeleteHiveKey(kSettingsKeyPath);
    currentTarget().endProgram();
}

UninstallOverride::UninstallOverride(UninstallTarget target)
    : m_previous(std::exchange(currentTarget(), std::move(target))) {}

UninstallOverride::~UninstallOverride() {
    currentTarget() = std::move(m_previous);
}
