#include "editor/picture_editor.h"

#include "base/errors.h"
#include "imaging/filter_engine.h"
#include "imaging/optimise.h"
#include "imaging/picture_files.h"
#include "imaging/simple_effects.h"

#include <QRegularExpression>

namespace {
constexpr int kAntiAliasPercent = 100;
} // namespace

bool EffectShowsHourglass(EditorEffect effect) {
    return effect == EditorEffect::AntiAlias || effect == EditorEffect::Sharpen ||
           effect == EditorEffect::Optimise;
}

Picture LoadEditorPicture(const QString& path) {
    switch (PictureKind(path)) {
    case PictureFileKind::Jpeg:
        return LoadJpegFile(path);
    case PictureFileKind::Bitmap:
        return LoadBmpFile(path); // every depth arrives as 24 bits
    case PictureFileKind::None:
        break;
    }
    throw KelvastoError(("not a JPEG or bitmap file: " + path).toStdString());
}

QString EditorSavePath(const QString& chosen) {
    const qsizetype slash = chosen.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = chosen.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > slash ? chosen.left(dot) : chosen;
    return base + QStringLiteral(".jpeg");
}

double ColourPercentValue(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("^\\s*[+-]?(\\d+([.,]\\d*)?|[.,]\\d+)\\s*$"));
    if (!number.match(text).hasMatch())
        throw KelvastoError(("not a percentage: " + text).toStdString());
    QString plain = text.trimmed();
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    return plain.toDouble();
}

QString DefaultColourPercentText(int languageOffset) {
    return languageOffset == 0 ? QStringLiteral("12,5") : QStringLiteral("12.5");
}

void PictureEditor::setLoaded(Picture picture) {
    m_working.copyFrom(picture);
    m_loaded = std::move(picture);
}

void PictureEditor::takeUndoCopy() {
    m_context.UndoBitmap.copyFrom(m_working);
}

void PictureEditor::apply(EditorEffect effect) {
    takeUndoCopy();
    Picture& picture = m_working;
    switch (effect) {
    case EditorEffect::Invert:
        InvertPicture(picture);
        break;
    case EditorEffect::Grey:
        GreyPicture(picture);
        break;
    case EditorEffect::AntiAlias:
        AntiAliasPicture(picture, {0, 0, picture.width(), picture.height()}, kAntiAliasPercent);
        break;
    case EditorEffect::MirrorTopBottom:
        MirrorTopBottom(picture);
        break;
    case EditorEffect::MirrorLeftRight:
        MirrorLeftRight(picture);
        break;
    case EditorEffect::Sharpen:
        SharpenPicture(m_context, picture);
        break;
    case EditorEffect::Optimise:
        OptimisePicture(m_context, picture);
        break;
    }
}

void PictureEditor::applyColour(ColourOperation operation, const QString& percentText,
                                int channelMode) {
    const double percent = ColourPercentValue(percentText);
    takeUndoCopy();
    ColourSettings settings;
    settings.ColourPercent = static_cast<float>(percent / 100.0);
    settings.ChannelMode = channelMode;
    AdjustColours(m_context, m_working, operation, settings);
}

void PictureEditor::undo() {
    if (!hasUndo())
        return;
    m_working.copyFrom(m_context.UndoBitmap);
}
