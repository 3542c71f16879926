#pragma once
// The settings a benchmark's main window starts with: a first start in the
// sandbox's home, without the language question.

#include "settings/app_settings.h"

#include <QDir>

inline AppSettings BenchWindowSettings(const QString& workFolder) {
    AppSettings s;
    s.Arbeitsverzeichnis = workFolder + QLatin1Char('/');
    s.Startverzeichnis = QDir::homePath() + QLatin1Char('/');
    s.Protokolldatei = QStringLiteral("Protokoll.txt");
    s.UnterverzeichnisIdx = QStringLiteral("Index");
    s.UnterverzeichnisThumb = QStringLiteral("Thumbnails");
    s.UnterverzeichnisSonst = QStringLiteral("Sonst");
    s.Sprachwahl = false;
    return s;
}
