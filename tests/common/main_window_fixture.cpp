#include "main_window_fixture.h"

#include "common/test_env.h"
#include "i18n/catalogue.h"
#include "i18n/mnemonic_letters.h"
#include "ui/file_list/shell_file_list.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QTabWidget>

#include <QDir>
#include <QTest>

namespace mwtest {

AppSettings FirstStartSettings() {
    AppSettings s;
    s.Arbeitsverzeichnis = testing::sandboxRoot() + QStringLiteral("/");
    s.Startverzeichnis = testing::homeFolder() + QStringLiteral("/");
    s.Protokolldatei = QStringLiteral("Protokoll.txt");
    s.UnterverzeichnisIdx = QStringLiteral("Index");
    s.UnterverzeichnisThumb = QStringLiteral("Thumbnails");
    s.UnterverzeichnisSonst = QStringLiteral("Sonst");
    return s;
}

std::unique_ptr<THauptForm> MakeWindow(std::function<void(AppSettings&)> customise) {
    return std::make_unique<THauptForm>([customise] {
        AppSettings s = FirstStartSettings();
        if (customise)
            customise(s);
        return s;
    });
}

Folder::Folder(const QStringList& names)
    : dir(testing::homeFolder() + QStringLiteral("/list-XXXXXX")) {
    for (const QString& name : names) {
        if (name.endsWith(QLatin1Char('/')))
            QDir().mkpath(file(name));
        else
            testing::writeFile(file(name), QByteArray("x"));
    }
}

bool ShowFolder(THauptForm& window, const QString& folder) {
    if (!window.selectTreeFolder(folder))
        return false;
    return QTest::qWaitFor([&] {
        return QDir::cleanPath(window.fileList()->folder()) == QDir::cleanPath(folder) &&
               window.fileList()->isLoaded();
    });
}

bool WaitForItems(THauptForm& window, const QStringList& names) {
    const bool ok = QTest::qWaitFor([&] { return window.fileList()->itemNames() == names; }, 3000);
    if (!ok)
        qWarning() << "listed" << window.fileList()->itemNames() << "expected" << names;
    return ok;
}

QString ControlCaption(const QObject* o) {
    return WithoutMnemonic(RawCaption(o));
}

QString RawCaption(const QObject* o) {
    if (auto* a = qobject_cast<const QAction*>(o))
        return a->text();
    if (auto* m = qobject_cast<const QMenu*>(o))
        return m->title();
    if (auto* b = qobject_cast<const QAbstractButton*>(o))
        return b->text();
    if (auto* l = qobject_cast<const QLabel*>(o))
        return l->text();
    if (auto* g = qobject_cast<const QGroupBox*>(o))
        return g->title();
    if (auto* page = qobject_cast<const QWidget*>(o))
        for (const QWidget* up = page->parentWidget(); up; up = up->parentWidget())
            if (auto* tabs = qobject_cast<const QTabWidget*>(up))
                if (const int at = tabs->indexOf(const_cast<QWidget*>(page)); at >= 0)
                    return tabs->tabText(at);
    return QString();
}

std::pair<QString, QString> ControlHints(const QObject* o) {
    if (auto* m = qobject_cast<const QMenu*>(o))
        o = m->menuAction();
    if (auto* a = qobject_cast<const QAction*>(o))
        return {a->toolTip(), a->statusTip()};
    auto* w = qobject_cast<const QWidget*>(o);
    return {w->toolTip(), w->statusTip()};
}

void SwitchLanguage(THauptForm& window, int offset) {
    SetLanguageOffset(offset);
    SetLanguageIndex(LanguageIndexForOffset(offset));
    window.ApplyLanguage();
}

int RedPixelsOfItem(QListView* view, const QString& name) {
    QModelIndex index = view->model()->index(0, 0, view->rootIndex());
    if (!name.isEmpty())
        index = view->model()->match(index, Qt::DisplayRole, name, 1, Qt::MatchExactly).value(0);
    const QImage shot = view->viewport()->grab(view->visualRect(index)).toImage();
    int red = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb p = shot.pixel(x, y);
            red += qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60 ? 1 : 0;
        }
    return red;
}

} // namespace mwtest
