#pragma once
// Texts the catalogue has no entry for (new options, tooltips, the command-line
// tool's words, dialogs of this platform): one table of German and English
// texts, looked up by a stable key and switched with the catalogue's language.
//
//     label->setText(OwnText("properties.close"));
//
// Every key used must have an entry; a missing one gives the key itself, so a
// test can find it (see OwnTextKeys()).

#include <QString>
#include <QStringList>

// The text of `key` in the current language (LanguageOffset 10000: English,
// otherwise German).
QString OwnText(const char* key);

// The text of `key` in one language, whatever the current one is.
QString OwnTextIn(const char* key, bool english);

// Every key of the table, in table order.
QStringList OwnTextKeys();
