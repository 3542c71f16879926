#include "ui/icons/theme_icons.h"

#include <QFileIconProvider>

void UseIconTheme() {
    static const bool once = [] {
        QIcon::setFallbackThemeName(QString::fromLatin1(kFallbackIconTheme));
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
