#include "settings/app_settings.h"

#include "settings/hive_store.h"

#include <QDir>
#include <QStandardPaths>

namespace {

QString withSlash(QString path) {
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

// A missing or wrongly typed string reads as empty; empty takes the default.
void readString(const HiveKey& key, const QString& name, QString& field, const QString& fallback) {
    const HiveValue<QString> read = key.readString(name);
    field = read.ok() ? read.value : QString();
    if (field.isEmpty())
        field = fallback;
}

void readInteger(const HiveKey& key, const QString& name, std::int32_t& field,
                 std::int32_t fallback) {
    const HiveValue<std::int32_t> read = key.readInteger(name);
    field = read.ok() ? read.value : fallback;
}

void readBoolean(const HiveKey& key, const QString& name, bool& field, bool fallback) {
    const HiveValue<std::int32_t> read = key.readInteger(name);
    field = read.ok() ? read.value != 0 : fallback;
}

// Kept in memory as one byte: only the low eight bits of the stored value count.
void readByte(const HiveKey& key, const QString& name, std::uint8_t& field, std::uint8_t fallback) {
    const HiveValue<std::int32_t> read = key.readInteger(name);
    field = read.ok() ? static_cast<std::uint8_t>(read.value & 0xFF) : fallback;
}

} // namespace

QString DefaultWorkingFolder() {
    const QString folder =
        withSlash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)) +
        QStringLiteral("Kelvasto/");
    // A folder that cannot be made shows later as a failed copy or an
    // unwritable move log, which the jobs report; nothing to add here.
    QDir().mkpath(folder);
    return folder;
}

SettingsDefaults PlatformSettingsDefaults() {
    SettingsDefaults defaults;
    defaults.workingFolder = DefaultWorkingFolder();
    defaults.homeFolder = withSlash(QDir::homePath());
    return defaults;
}

AppSettings LoadSettings(const SettingsDefaults& defaults) {
    AppSettings s;
    HiveKey key(kSettingsKeyPath);
    readString(key, QStringLiteral("Arbeitsverzeichnis"), s.Arbeitsverzeichnis,
               defaults.workingFolder);
    readString(key, QStringLiteral("Startverzeichnis"), s.Startverzeichnis, defaults.homeFolder);
    readString(key, QStringLiteral("Protokolldatei"), s.Protokolldatei,
               QStringLiteral("Protokoll.txt"));
    readInteger(key, QStringLiteral("Sprache"), s.Sprache, 0);
    readBoolean(key, QStringLiteral("Sprachwahl"), s.Sprachwahl, true);
    readString(key, QStringLiteral("UnterverzeichnisIdx"), s.UnterverzeichnisIdx,
               QStringLiteral("Index"));
    readString(key, QStringLiteral("UnterverzeichnisThumb"), s.UnterverzeichnisThumb,
               QStringLiteral("Thumbnails"));
    readString(key, QStringLiteral("UnterverzeichnisSonst"), s.UnterverzeichnisSonst,
               QStringLiteral("Sonst"));
    readInteger(key, QLatin1String(kPopUpSize.name), s.ThumbHintGroesse, kPopUpSize.fallback);
    readByte(key, QStringLiteral("ThumbTransparenz"), s.ThumbTransparenz, 255);
    readBoolean(key, QStringLiteral("ThumbLinks"), s.ThumbLinks, true);
    readBoolean(key, QStringLiteral("VerstecktAnzeigen"), s.VerstecktAnzeigen, false);
    readBoolean(key, QStringLiteral("BildschirmSpeichern"), s.BildschirmSpeichern, false);
    readInteger(key, QStringLiteral("ExplorerSTVLinks"), s.ExplorerSTVLinks, 250);
    readBoolean(key, QStringLiteral("SLVBackground01"), s.SLVBackground01, true);
    readByte(key, QStringLiteral("SLVTextur01"), s.SLVTextur01, 1);
    readString(key, QStringLiteral("SLVTexturPfad01"), s.SLVTexturPfad01, QString());
    readInteger(key, QStringLiteral("SLVFontColor01"), s.SLVFontColor01, 0);
    readBoolean(key, QStringLiteral("DefektGruendlich"), s.DefektGruendlich, false);
    readBoolean(key, QStringLiteral("ListeVorschaubilder"), s.ListeVorschaubilder, false);
    readInteger(key, QStringLiteral("ListeSortierSpalte"), s.ListeSortierSpalte, 0);
    readBoolean(key, QStringLiteral("ListeSortierAbsteigend"), s.ListeSortierAbsteigend, false);
    key.close();

    if (!s.Arbeitsverzeichnis.isEmpty())
        s.Arbeitsverzeichnis = withSlash(s.Arbeitsverzeichnis);
    if (!s.Startverzeichnis.isEmpty())
        s.Startverzeichnis = withSlash(s.Startverzeichnis);
    return s;
}

void SaveScreenSettings(const AppSettings& s) {
    HiveKey key(kSettingsKeyPath);
    key.writeInteger(QStringLiteral("ExplorerSTVLinks"), s.ExplorerSTVLinks);
    key.writeString(QStringLiteral("UnterverzeichnisIdx"), s.UnterverzeichnisIdx);
    key.writeString(QStringLiteral("UnterverzeichnisThumb"), s.UnterverzeichnisThumb);
    key.writeString(QStringLiteral("UnterverzeichnisSonst"), s.UnterverzeichnisSonst);
    // Added later: a store that never had it on stays as it was.
    const QString thorough = QStringLiteral("DefektGruendlich");
    if (s.DefektGruendlich || key.readInteger(thorough).ok())
        key.writeBoolean(thorough, s.DefektGruendlich);
    key.close();
}

bool SaveLanguageChoice(AppSettings& s) {
    HiveKey key(kSettingsKeyPath);
    const bool written = key.writeInteger(QStringLiteral("Sprache"), s.Sprache) &&
                         key.writeBoolean(QStringLiteral("Sprachwahl"), s.Sprachwahl);
    // What the next start will see: read back, and ask again when unreadable.
    const HiveValue<std::int32_t> back = key.readInteger(QStringLiteral("Sprachwahl"));
    s.Sprachwahl = back.ok() ? back.value != 0 : true;
    key.close();
    return written;
}

bool SaveOptions(const AppSettings& s) {
    HiveKey key(kSettingsKeyPath);
    bool written = key.writeString(QStringLiteral("Arbeitsverzeichnis"), s.Arbeitsverzeichnis) &&
                   key.writeString(QStringLiteral("Startverzeichnis"), s.Startverzeichnis) &&
                   key.writeString(QStringLiteral("Protokolldatei"), s.Protokolldatei) &&
                   key.writeBoolean(QStringLiteral("ThumbLinks"), s.ThumbLinks) &&
                   key.writeInteger(QStringLiteral("ThumbHintGroesse"), s.ThumbHintGroesse) &&
                   key.writeInteger(QStringLiteral("ThumbTransparenz"), s.ThumbTransparenz) &&
                   key.writeBoolean(QStringLiteral("VerstecktAnzeigen"), s.VerstecktAnzeigen) &&
                   key.writeBoolean(QStringLiteral("BildschirmSpeichern"), s.BildschirmSpeichern) &&
                   key.writeBoolean(QStringLiteral("SLVBackground01"), s.SLVBackground01) &&
                   key.writeInteger(QStringLiteral("SLVTextur01"), s.SLVTextur01) &&
                   key.writeString(QStringLiteral("SLVTexturPfad01"), s.SLVTexturPfad01) &&
                   key.writeInteger(QStringLiteral("SLVFontColor01"), s.SLVFontColor01);
    // Added later: a store that never had it on keeps the twelve values only.
    const QString thumbnails = QStringLiteral("ListeVorschaubilder");
    if (written && (s.ListeVorschaubilder || key.readInteger(thumbnails).ok()))
        written = key.writeBoolean(thumbnails, s.ListeVorschaubilder);
    key.close();
    return written;
}

bool SaveListSort(const AppSettings& s) {
    HiveKey key(kSettingsKeyPath);
    const bool written =
        key.writeInteger(QStringLiteral("ListeSortierSpalte"), s.ListeSortierSpalte) &&
        key.writeBoolean(QStringLiteral("ListeSortierAbsteigend"), s.ListeSortierAbsteigend);
    key.close();
    return written;
}

QString FolderSetting(const QString& folder, const QString& fallback) {
    return folder.isEmpty() ? fallback : withSlash(folder);
}

QString ProtocolFilePath(const AppSettings& settings) {
    return settings.Arbeitsverzeichnis + settings.Protokolldatei;
}
