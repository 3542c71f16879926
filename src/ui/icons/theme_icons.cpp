#include "ui/icons/theme_icons.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>
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

namespace {

// The widgets' provider asks only the platform theme (none without a
// desktop) and then the style, which has one icon for every file. The icon
// theme knows folders and each file type (image-jpeg, image-bmp ...).
class ThemeFileIconProvider : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override {
        QIcon themed;
        if (info.isDir()) {
            themed = QIcon::fromTheme(QStringLiteral("folder"));
        } else if (info.isFile()) {
            // By the name only: the list must not read every file's content.
            const QMimeType type = m_types.mimeTypeForFile(info, QMimeDatabase::MatchExtension);
            themed = QIcon::fromTheme(type.iconName());
            if (themed.isNull())
                themed = QIcon::fromTheme(type.genericIconName());
        }
        return themed.isNull() ? QFileIconProvider::icon(info) : themed;
    }

private:
    QMimeDatabase m_types;
};

} // namespace

QFileIconProvider& FileIcons() {
    UseIconTheme();
    static ThemeFileIconProvider provider;
    return provider;
}
