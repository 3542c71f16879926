#pragma once
// The list of what a job left out or could not write, each entry with its
// reason, shown once at the end of the job in the program's own dialog style
// (TMessageForm: the gradient, the warning icon, the language's title and OK
// button). The entries are selectable text, so a user can copy a name.

#include <QString>
#include <QStringList>

#include <memory>

class TMessageForm;

struct SkippedEntry {
    QString path;
    QString reason;
};

// The laid-out dialog, not yet shown: the heading in the child "Message",
// the entries one a line in the read-only text "SkippedEntries", and OK.
std::unique_ptr<TMessageForm> BuildSkippedEntriesDialog(const QList<SkippedEntry>& entries,
                                                        const QString& language);

// Builds the dialog and shows it modally.
void ShowSkippedEntriesDialog(const QList<SkippedEntry>& entries, const QString& language);
