#include "ui/main_window/help_window.h"

#include "i18n/catalogue.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), m_browser(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(640, 560);
}

QString HelpWindow::contentsPage(int languageOffset) {
    return languageOffset == 10000 ? QStringLiteral("qrc:/help/en/inhalt.html")
                                   : QStringLiteral("qrc:/help/de/inhalt.html");
}

void HelpWindow::showContents() {
    // A page that is missing shows an empty browser; nothing is reported.
    m_browser->setSource(QUrl(contentsPage(LanguageOffset())));
    setWindowTitle(m_browser->documentTitle());
    show();
    raise();
    activateWindow();
}
