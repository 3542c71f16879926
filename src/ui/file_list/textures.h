#pragma once
// The pictures behind the file list: five built-in tiles drawn by the program
// and the user's own texture file, chosen at start by the settings.

#include <QColor>
#include <QImage>
#include <QString>

struct AppSettings;

// Tile n (1..5): 128x128 light grey structure (256 colours), 100x100 yellow
// blossom, 144x144 red ornament, 100x100 light blue structure, 130x129 blue
// structure. Every tile repeats seamlessly and is the same on every run. Any
// other n gives a null image.
QImage BuiltInTexture(int n);

// Loads an own texture file by its lower-cased extension: ".bmp", ".jpg" and
// ".jpeg" are read; anything else, or a file that cannot be decoded, gives a
// null image.
QImage LoadTextureFile(const QString& path);

// Converts a stored colour value (0x00BBGGRR) to a colour.
QColor ColourFromStoredValue(std::int32_t value);

struct TextureChoice {
    QImage picture;    // null: the list paints its ordinary background
    QColor textColour; // invalid: the window's ordinary text colour
};

// TexturePicture at start. A missing own file switches the texture off in
// `settings` (in memory only).
TextureChoice TexturePictureAtStart(AppSettings& settings);
