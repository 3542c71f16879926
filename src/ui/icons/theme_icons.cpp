#include "ui/icons/theme_icons.h"

#include <QFileIconProvider>
#include <QStandardPaths>
#include <QStringList>

void UseIconTheme() {
    static const bool once = [] {
        QIcon::setFallbackThemeName(QString::fromLatin1(kFallbackIconTheme));
        // Platforms without a desktop theme (offscreen, minimal) give Qt no
        // places to look for themes; the XDG data folders hold them.
        QStringList paths = QIcon::themeSearchPaths();
        const QStringList installed =
            QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                      QStandardPaths::LocateDirectory);
        for (const QString& folder : installed)
            if (!paths.contains(folder))
                paths.append(folder);
        QIcon::setThemeSearchPaths(paths);
        // Qt consults the fallback only behind a theme; with no theme at all
        // (no desktop), the fallback is the theme.
        if (QIcon::themeName().isEmpty())
            QIcon::setThemeName(QString::fromLatin1(kFallbackIconTheme));
        return true;
    }();
    (void)once;
}

QIcon ThemeIcon(const char* name) {
    UseIconTheme();
    return QIcon::fromTheme(QString::fromLatin1(name));
}

QFileIconProvider& FileIcons() {
    UseIconTheme();
    static QFileIconProvider provider;
    return provider;
}
