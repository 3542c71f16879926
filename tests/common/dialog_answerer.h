#pragma once
// Answers the program's modal dialogs from a test: before the code under test
// opens a dialog, queue an answer by button name; when the dialog shows, the
// answerer records what it showed and clicks that button.
//
//     DialogAnswerer answers;
//     answers.queue("Yes");
//     window.findChild<QAction*>("PM01_DateiLoeschen")->trigger();
//     QCOMPARE(answers.shown().at(0).text, CatalogueText(CatalogueId::ReallyDeleteFile));
//
// A dialog that shows with no answer queued, or whose queued button it lacks,
// is closed by its close box and counted, so a test notices a question it did
// not expect. A button that leaves the dialog open (Help) lets the next queued
// answer apply to the same dialog.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

class QFileDialog;
class QWidget;

struct ShownDialog {
    QString className;   // "TMessageForm", "TSelectDirDlg", ...
    QString title;       // window title
    QString text;        // text of the child "Message" or "LabelUeberschrift"
    QStringList buttons; // object names of the visible buttons, left to right
    QString pressed;     // the button name clicked; empty when closed by the close box
    QString folder;      // folder chooser only: the folder selected when it showed
};

class DialogAnswerer : public QObject {
    Q_OBJECT
public:
    DialogAnswerer();
    ~DialogAnswerer() override;

    // Answers the next dialog with the button of this objectName. A
    // `beforeClick` action may change the dialog first (select a folder...).
    void queue(const QString& buttonName, std::function<void(QWidget*)> beforeClick = {});
    // Answers the next folder chooser by selecting `folder` and pressing OK.
    void queueFolder(const QString& folder);
    // Answers the next file dialog by choosing `path` and pressing the button.
    void queueFile(const QString& buttonName, const QString& path);
    // Chooses `path` in an open file dialog, as the user would.
    static void chooseFile(QFileDialog& dialog, const QString& path);

    // One entry per answer given (a dialog kept open by Help appears once per
    // answer), in order.
    const QList<ShownDialog>& shown() const { return m_shown; }
    int unexpected() const { return m_unexpected; }
    int pending() const { return int(m_answers.size()); }

private:
    void poll();

    struct Answer {
        QString button;
        std::function<void(QWidget*)> beforeClick;
    };
    QList<Answer> m_answers;
    QList<ShownDialog> m_shown;
    int m_unexpected = 0;
    QTimer m_timer;
    QPointer<QWidget> m_handled;
};
