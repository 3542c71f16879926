#pragma once
// Icons by their freedesktop names from the desktop's icon theme. Without a
// desktop session, or where the desktop's theme lacks a name, the installed
// Breeze theme answers, so the program looks the same everywhere.

#include <QIcon>

class QFileIconProvider;
class QPalette;

inline constexpr const char* kFallbackIconTheme = "breeze";
inline constexpr const char* kDarkFallbackIconTheme = "breeze-dark";

// Makes the fallback theme known to Qt; every function here calls it, call it
// yourself before Qt looks up theme icons on its own.
void UseIconTheme();

// The fallback theme for a palette: Breeze's dark variant on a dark window.
QString IconThemeFor(const QPalette& palette);
// Follows a change of the desktop's colours: dark symbols on a dark bar
// would vanish. The desktop's own icon theme is kept; its fallback follows.
void MatchIconThemeToPalette(const QPalette& palette);

// The theme's icon of `name`; null when neither theme has it.
QIcon ThemeIcon(const char* name);

// Folder and file icons for the folder trees and the file list: the theme's
// (folder, image-jpeg, ...), the style's where no theme has one.
QFileIconProvider& FileIcons();
