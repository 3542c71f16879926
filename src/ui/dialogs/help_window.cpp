#include "ui/dialogs/help_window.h"

#include "i18n/catalogue.h"

#include <QFile>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), m_browser(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(false);
    connect(m_browser, &QTextBrowser::sourceChanged, this,
            [this] { setWindowTitle(m_browser->documentTitle()); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(640, 560);
}

QString HelpWindow::contentsPage(int languageOffset) {
    return topicPage(QStringLiteral("inhalt"), languageOffset);
}

QString HelpWindow::topicPage(const QString& topic, int languageOffset) {
    const QString folder = languageOffset == 10000 ? QStringLiteral("en") : QStringLiteral("de");
    const QString resource = QStringLiteral(":/help/%1/%2.html").arg(folder, topic);
    // A topic is a plain name: nothing that walks out of the help folder.
    if (topic.isEmpty() || topic.contains(QLatin1Char('/')) || !QFile::exists(resource))
        return QString();
    return QStringLiteral("qrc") + resource;
}

void HelpWindow::showContents() {
    showPage(QStringLiteral("inhalt"));
}

void HelpWindow::showPage(const QString& topic) {
    QString page = topicPage(topic, LanguageOffset());
    if (page.isEmpty())
        page = contentsPage(LanguageOffset());
    m_browser->setSource(QUrl(page));
    setWindowTitle(m_browser->documentTitle());
    show();
    raise();
    activateWindow();
}
