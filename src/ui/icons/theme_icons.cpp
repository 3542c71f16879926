#include "ui/icons/theme_icons.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeDatabase>
#include <QPalette>
#include <QStandardPaths>
#include <QStringList>

namespace {

// Whether the theme is the program's choice, not the desktop's: then it
// follows the palette's brightness.
bool g_ownTheme = false;

} // namespace

QString IconThemeFor(const QPalette& palette) {
    // The dark variant draws its symbols light, for a dark window.
    return QString::fromLatin1(palette.color(QPalette::Window).lightnessF() < 0.5
                                   ? kDarkFallbackIconTheme
                                   : kFallbackIconTheme);
}

void UseIconTheme() {
    static const bool once = [] {
        const QString theme = IconThemeFor(QGuiApplication::palette());
        QIcon::setFallbackThemeName(theme);
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
        if (QIcon::themeName().isEmpty()) {
            g_ownTheme = true;
            QIcon::setThemeName(theme);
        }
        return true;
    }();
    (void)once;
}

void MatchIconThemeToPalette(const QPalette& palette) {
    UseIconTheme();
    const QString theme = IconThemeFor(palette);
    if (QIcon::fallbackThemeName() != theme)
        QIcon::setFallbackThemeName(theme);
    // Icons already made look their theme up again when next painted.
    if (g_ownTheme && QIcon::themeName() != theme)
        QIcon::setThemeName(theme);
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
