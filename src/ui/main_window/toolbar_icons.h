#pragma once
// The icon list ImagesToolbar (16 x 16): 0 large icons, 1 small icons, 2 list,
// 3 details, 4 load picture, 5 save picture, 6 info, 7 help, 8 undo, 9
// refresh, 10 language, 11 options, 12 quit, 13 uninstall, 14 delete, 15 mark
// all, 16 index pictures, 17 search defective files, 18 reduce files.

#include <QIcon>

inline constexpr int kToolbarIconCount = 19;

// The icon of a slot: the icon theme's, or for language and defect scan,
// which no themed icon fits, a drawing of the program's own. An unknown slot
// gives a null icon.
QIcon ToolbarIcon(int slot);

// The freedesktop name a slot takes from the theme; nullptr for the drawn
// slots and unknown ones.
const char* ToolbarIconThemeName(int slot);
