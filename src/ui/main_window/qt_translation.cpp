#include "ui/main_window/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {

// The one installed translator; replaced, never stacked, on every switch.
std::unique_ptr<QTranslator>& InstalledTranslator() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

} // namespace

QLocale LocaleForLanguage(std::int32_t languageOffset) {
    return languageOffset == 10000 ? QLocale(QLocale::English, QLocale::UnitedStates)
                                   : QLocale(QLocale::German, QLocale::Germany);
}

bool ApplyQtTranslation(std::int32_t languageOffset) {
    const QLocale locale = LocaleForLanguage(languageOffset);
    QLocale::setDefault(locale);
    std::unique_ptr<QTranslator>& installed = InstalledTranslator();
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    // Qt's own texts are English already.
    if (locale.language() == QLocale::English)
        return true;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
    return true;
}
