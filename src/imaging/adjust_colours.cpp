#include "imaging/adjust_colours.h"

#include "base/errors.h"
#include "imaging/filter_engine.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kBlue = 0, kGreen = 1, kRed = 2;

struct ChannelPair {
    int source;
    int target;
};

ChannelPair channelsOf(ColourOperation op) {
    switch (op) {
    case ColourOperation::RedIntoGreen:
        return {kRed, kGreen};
    case ColourOperation::RedIntoBlue:
        return {kRed, kBlue};
    case ColourOperation::GreenIntoRed:
        return {kGreen, kRed};
    case ColourOperation::GreenIntoBlue:
        return {kGreen, kBlue};
    case ColourOperation::BlueIntoRed:
        return {kBlue, kRed};
    default:
        return {kBlue, kGreen};
    }
}

int truncated(double v) {
    // Clamp first so that a wild percentage cannot overflow the conversion.
    return static_cast<int>(std::clamp(v, -1.0e6, 1.0e6));
}

// New values of one pixel; v holds B, G, R and receives the unclamped results.
void adjustPixel(ColourOperation op, const ColourSettings& s, int v[3]) {
    switch (op) {
    case ColourOperation::BrightnessUp:
        for (int ch = 0; ch < 3; ++ch)
            v[ch] = (3 * v[ch] + 250) / 4;
        return;
    case ColourOperation::BrightnessDown:
        for (int ch = 0; ch < 3; ++ch)
            v[ch] = (15 * v[ch]) / 16;
        return;
    case ColourOperation::ContrastUp:
    case ColourOperation::ContrastDown: {
        const int sign = op == ColourOperation::ContrastUp ? 1 : -1;
        for (int ch = 0; ch < 3; ++ch)
            v[ch] = v[ch] + sign * (((v[ch] - 128) * 20) / 256);
        return;
    }
    case ColourOperation::SaturationUp:
    case ColourOperation::SaturationDown: {
        const int sign = op == ColourOperation::SaturationUp ? 1 : -1;
        const int m = (std::max({v[0], v[1], v[2]}) + std::min({v[0], v[1], v[2]})) / 2;
        for (int ch = 0; ch < 3; ++ch)
            v[ch] = v[ch] + sign * (((v[ch] - m) * 16) / 128);
        return;
    }
    default:
        break;
    }
    const ChannelPair c = channelsOf(op);
    const int S = v[c.source], T = v[c.target];
    const double p = s.ColourPercent;
    switch (s.ChannelMode) {
    case Angleichen:
        v[c.target] = truncated(T + S * p);
        return;
    case Umwandlung:
        v[c.target] = truncated(T + S * p);
        v[c.source] = truncated(S * (1.0 - p));
        return;
    case Kanaltausch:
        v[c.source] = T;
        v[c.target] = S;
        return;
    default:
        return;
    }
}

bool isKnown(ColourOperation op) {
    const int n = static_cast<int>(op);
    return n >= 1 && n <= 12;
}

} // namespace

float ColourPercentFromText(const QString& text, const QLocale& locale) {
    QLocale strict = locale;
    // "12.5" must not read as 125 where "." groups thousands.
    strict.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    double value = strict.toDouble(text.trimmed(), &ok);
    if (!ok) {
        QLocale c = QLocale::c();
        c.setNumberOptions(QLocale::RejectGroupSeparator);
        value = c.toDouble(text.trimmed(), &ok);
    }
    if (!ok || !std::isfinite(value))
        throw KelvastoError("'" + text.toStdString() + "' is not a valid floating point value");
    return static_cast<float>(value / 100.0);
}

void AdjustColours(ImagingContext& c, Picture& picture, ColourOperation op,
                   const ColourSettings& settings) {
    if (!isKnown(op))
        return;
    PrepareWorkBitmaps(c, picture);
    c.PassSourceBitmap.copyFrom(c.WorkBitmap);
    const int w = c.WorkBitmap.width(), h = c.WorkBitmap.height();
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* src = c.PassSourceRows[y];
        std::uint8_t* dst = c.WorkRows[y];
        for (int x = 0; x < w; ++x) {
            int v[3] = {src[x * 3], src[x * 3 + 1], src[x * 3 + 2]};
            adjustPixel(op, settings, v);
            for (int ch = 0; ch < 3; ++ch)
                dst[x * 3 + ch] = static_cast<std::uint8_t>(std::clamp(v[ch], 0, 255));
        }
    }
    CopyWorkBitmapInto(c, picture);
}

void AdjustColours(ImagingContext& c, Picture& picture, ColourOperation op,
                   const QString& percentText, int channelMode) {
    if (!isKnown(op))
        return;
    const ColourSettings settings{ColourPercentFromText(percentText), channelMode};
    AdjustColours(c, picture, op, settings);
}
