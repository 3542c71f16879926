#pragma once
// File icons that stay visible over the list's texture. A theme draws its
// icons for the window's colour: the dark theme's light folders all but
// vanish on a light tile. An icon whose ink contrasts too little with the
// tile gets a one-pixel halo in the colour the list's text takes there
// (black or white, whichever stands out more).

#include <QColor>
#include <QIcon>
#include <QSize>

class QStyleOptionViewItem;

// The contrast the icon's ink needs against what lies behind it: the least
// for a graphic object to be told apart.
inline constexpr double kVisibleIconContrast = 3.0;

// The mean colour of an icon's visible pixels at `size`; invalid for an
// empty icon.
QColor IconInk(const QIcon& icon, QSize size);

// `icon` itself where its ink stands out from `surface`, otherwise the icon
// with a halo.
QIcon IconVisibleOn(const QIcon& icon, const QColor& surface, QSize size);

// Gives the item's icon a halo where the view's base is a texture it would
// vanish on.
void KeepIconVisible(QStyleOptionViewItem& option);
