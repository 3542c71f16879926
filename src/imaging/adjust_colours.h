#pragma once
// Brightness, contrast, saturation and the six channel operations. Every pixel,
// edges included, is computed from the unchanged picture in signed 32-bit
// arithmetic with divisions truncating toward zero, and clamped to 0..255.

#include "imaging/imaging_context.h"

#include <QLocale>
#include <QString>

// 1..12; 0 and any other value do nothing.
enum class ColourOperation {
    None = 0,
    BrightnessUp = 1,   // (3c + 250) / 4
    BrightnessDown = 2, // 15c / 16
    ContrastUp = 3,     // c + ((c - 128) * 20) / 256
    ContrastDown = 4,   // c - ((c - 128) * 20) / 256
    SaturationUp = 5,   // c + ((c - m) * 16) / 128, m = (max + min) / 2
    SaturationDown = 6, // c - ((c - m) * 16) / 128
    RedIntoGreen = 7,
    RedIntoBlue = 8,
    GreenIntoRed = 9,
    GreenIntoBlue = 10,
    BlueIntoRed = 11,
    BlueIntoGreen = 12,
};

// How a channel operation moves source S into target T, with p = ColourPercent:
// 0 T' = T + S*p; 1 also S' = S*(1 - p); 2 swaps the two. Any other value leaves
// the pixels of a channel operation unchanged.
enum ChannelModeIndex : int { Angleichen = 0, Umwandlung = 1, Kanaltausch = 2 };

struct ColourSettings {
    float ColourPercent = 0.125f; // the edit field's number divided by 100
    int ChannelMode = Angleichen;
};

// The edit field's number / 100, read with `locale`'s decimal separator ("12,5"
// in German) and, failing that, in the C form ("12.5"). Throws KelvastoError
// when the text is not a number.
float ColourPercentFromText(const QString& text, const QLocale& locale = QLocale());

void AdjustColours(ImagingContext& context, Picture& picture, ColourOperation operation,
                   const ColourSettings& settings);
// As the editor calls it: the percentage is read from its text first, so a text
// that is not a number raises before any pixel changes.
void AdjustColours(ImagingContext& context, Picture& picture, ColourOperation operation,
                   const QString& percentText, int channelMode);
