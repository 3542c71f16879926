#pragma once
// The program's help window: the help pages compiled into the program, in the
// current language, opened at their contents page.

#include <QDialog>

class QTextBrowser;

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the contents page ("Inhalt") of the current language's pages.
    void showContents();
    // Shows the page of `topic` ("optionen", "duplikate" ...) in the current
    // language; a topic without a page shows the contents page.
    void showPage(const QString& topic);
    QTextBrowser* browser() const { return m_browser; }

    // The resource path of the contents page for a LanguageOffset.
    static QString contentsPage(int languageOffset);
    // The resource path of a topic's page; empty when there is none.
    static QString topicPage(const QString& topic, int languageOffset);

private:
    QTextBrowser* m_browser;
};
