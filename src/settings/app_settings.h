#pragma once
// The in-memory copy of the program's settings, and the two routines
// that bind it to the settings store. Field names are the stored value names.

#include "base/number_option.h"

#include <QString>

#include <cstdint>

inline const QString kSettingsKeyPath = QStringLiteral("\\Software\\Morlandt\\Kelvasto\\V1.24");

// The pop-up preview's size in pixels, set in the options dialog; stored as
// ThumbHintGroesse, not an option of the command line.
inline constexpr NumberOption kPopUpSize{
    "ThumbHintGroesse", nullptr, "ThumbHintUpDown", nullptr, 50, 500, 5, 100};

struct AppSettings {
    QString Arbeitsverzeichnis;          // working folder, ends with "/"
    QString Startverzeichnis;            // folder the refresh button selects, ends with "/"
    QString Protokolldatei;              // move-log file name, joined behind Arbeitsverzeichnis
    std::int32_t Sprache = 0;            // LanguageOffset
    bool Sprachwahl = true;              // show the language chooser at start
    QString UnterverzeichnisIdx;         // sub-folder for index pictures
    QString UnterverzeichnisThumb;       // sub-folder for thumbnails
    QString UnterverzeichnisSonst;       // sub-folder of the other batch functions
    // pop-up thumbnail size in pixels
    std::int32_t ThumbHintGroesse = kPopUpSize.fallback;
    std::uint8_t ThumbTransparenz = 255; // pop-up opacity; only the low byte counts
    bool ThumbLinks = true;              // pop-up thumbnails on
    bool VerstecktAnzeigen = false;      // file list shows hidden items
    bool BildschirmSpeichern = false;    // save screen settings at close
    std::int32_t ExplorerSTVLinks = 250; // folder-tree pane width
    bool SLVBackground01 = true;         // texture behind the file list
    std::uint8_t SLVTextur01 = 1;        // 0 none, 1..5 built in, 6 own file; one byte
    QString SLVTexturPfad01;             // own texture file
    std::int32_t SLVFontColor01 = 0;     // file-list text colour with the own texture
    bool DefektGruendlich = false;       // defect scan decodes the picture data too
    bool ListeVorschaubilder = false;    // icon views show each picture's thumbnail
    std::int32_t ListeSortierSpalte = 0; // file list sorted by 0 name, 1 size, 2 type, 3 date
    bool ListeSortierAbsteigend = false; // ... in descending order
};

// Platform defaults that are not constants.
struct SettingsDefaults {
    QString workingFolder; // Arbeitsverzeichnis when none is stored, with trailing "/"
    QString homeFolder;    // with trailing "/"
};

// The per-user data folder of the program, $XDG_DATA_HOME/Kelvasto/, created
// when it does not exist yet. It is the working folder when none is stored:
// the program's own folder is a build folder (deleted by a clean) or a
// read-only install, no place for moved pictures and their move log.
QString DefaultWorkingFolder();

// DefaultWorkingFolder() and the user's home folder, each with "/".
SettingsDefaults PlatformSettingsDefaults();

// Opens the key (creating it), reads every value on its own guard, applies the
// defaults and the trailing-"/" rule, closes the key.
AppSettings LoadSettings(const SettingsDefaults& defaults = PlatformSettingsDefaults());

// Writes ExplorerSTVLinks, the three sub-folder names and DefektGruendlich.
void SaveScreenSettings(const AppSettings& settings);

// Writes Sprache and Sprachwahl, then reads Sprachwahl back into `settings`
// (true when it cannot be read). False when a write failed.
bool SaveLanguageChoice(AppSettings& settings);

// Writes the twelve values the options dialog owns, in their fixed order:
// the three folder and file names, ThumbLinks, ThumbHintGroesse,
// ThumbTransparenz, VerstecktAnzeigen, BildschirmSpeichern, SLVBackground01,
// SLVTextur01, SLVTexturPfad01, SLVFontColor01; then ListeVorschaubilder when
// it is on or already stored. Stops at the first write that fails and returns
// false; the values before it are stored.
bool SaveOptions(const AppSettings& settings);

// Writes the file list's sort (ListeSortierSpalte, ListeSortierAbsteigend)
// the moment the user changes it. False when a write failed.
bool SaveListSort(const AppSettings& settings);

// A folder setting as the program uses it: empty gives `fallback` (what the
// next start would read), anything else ends with "/", so that a file name
// joined behind it lands inside the folder.
QString FolderSetting(const QString& folder, const QString& fallback);

// The move-log path: Arbeitsverzeichnis immediately followed by Protokolldatei.
QString ProtocolFilePath(const AppSettings& settings);
