#include "ui/dialogs/message_tables.h"

namespace {

const char* const kLanguageNames[kDialogLanguageCount] = {"deutsch", "english", "dutch", "spanish",
                                                          "french"};

const char* const kControlNames[kDialogButtonCount] = {
    "Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All", "NoToAll", "YesToAll", "Help"};

const int kResults[kDialogButtonCount] = {6, 7, 1, 2, 3, 4, 5, 8, 9, 10, 0};

// UTF-8 literals; columns deutsch, english, dutch, spanish, french.
const char* const kCaptions[kDialogButtonCount][kDialogLanguageCount] = {
    {"&Ja", "&Yes", "&Ja", "&Si", "&Oui"},
    {"&Nein", "&No", "&Nee", "&No", "&Non"},
    {"OK", "OK", "OK", "OK", "OK"},
    {"Abbrechen", "Abort", "Beëindigen", "Cancelar", "Interrompre"},
    {"&Abbrechen", "&Abort", "&Beëindigen", "&Cancelar", "&Interrompre"},
    {"&Wiederholen", "&Retry", "&Herhalen", "&Repetir", "&Répéter"},
    {"&Ignorieren", "&Ignore", "&Negeren", "&Ignorar", "&Négliger"},
    {"&Alle", "&All", "&Alle", "&Todos", "&Tout"},
    {"&Alle Nein", "&No To All", "&Nee op alles", "&No a Todos", "&Tout Non"},
    {"A&lle Ja", "Yes To A&ll", "&Ja op alles", "&Si a Todos", "T&out Oui"},
    {"&Hilfe", "&Help", "&Help", "&Ayuda", "&L`aide"},
};

const char* const kTitles[4][kDialogLanguageCount] = {
    {"Warnung", "Warning", "Let op", "Advertencia", "Avertissement"},
    {"Fehler", "Error", "Fout", "Error", "Erreur"},
    {"Information", "Information", "Informatie", "Información", "Informations"},
    {"Bestätigung", "Confirm", "Bevestig", "Confirmación", "Confirmation"},
};

bool IsValidButton(DialogButton button) {
    return int(button) >= 0 && int(button) < kDialogButtonCount;
}

bool IsValidLanguage(std::optional<int> language) {
    return language && *language >= 0 && *language < kDialogLanguageCount;
}

} // namespace

std::optional<int> MatchDialogLanguage(const QString& name) {
    const QString lower = name.toLower();
    for (int i = 0; i < kDialogLanguageCount; ++i)
        if (lower == QLatin1String(kLanguageNames[i]))
            return i;
    return std::nullopt;
}

QString ButtonControlName(DialogButton button) {
    return IsValidButton(button) ? QString::fromLatin1(kControlNames[int(button)]) : QString();
}

int ButtonResult(DialogButton button) {
    return IsValidButton(button) ? kResults[int(button)] : 0;
}

QString ButtonCaption(DialogButton button, std::optional<int> language) {
    if (!IsValidButton(button) || !IsValidLanguage(language))
        return QString();
    return QString::fromUtf8(kCaptions[int(button)][*language]);
}

QString MessageTitle(MessageKind kind, std::optional<int> language) {
    const int k = int(kind);
    if (k < 0 || k > 3 || !IsValidLanguage(language))
        return QString();
    return QString::fromUtf8(kTitles[k][*language]);
}
