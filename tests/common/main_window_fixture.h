#pragma once
// Builds the main window offscreen on settings a test chooses, and a folder of
// named files that the file list can be pointed at.

#include "settings/app_settings.h"
#include "ui/main_window/hauptform.h"

#include <QEvent>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>

class QListView;

namespace mwtest {

// Settings as on a first start, without touching the store, then `customise`.
AppSettings FirstStartSettings();
std::unique_ptr<THauptForm> MakeWindow(std::function<void(AppSettings&)> customise = {});

// A fresh folder in the sandbox holding `names` (a trailing "/" makes a
// folder).
struct Folder {
    QTemporaryDir dir;
    explicit Folder(const QStringList& names);
    QString path() const { return dir.path(); }
    QString file(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
};

// Selects `folder` in the tree and waits until the file list shows it.
bool ShowFolder(THauptForm& window, const QString& folder);
// Waits until the list shows exactly these names (in this order).
bool WaitForItems(THauptForm& window, const QStringList& names);

// The caption a control shows (action text, menu title, button, label, group
// box title, or its tab's text); a null string when it cannot show one.
// RawCaption keeps the accelerator marker, ControlCaption drops it.
QString RawCaption(const QObject* control);
QString ControlCaption(const QObject* control);
// The tooltip and the status-bar tip of a control (a menu's are its action's).
std::pair<QString, QString> ControlHints(const QObject* control);
// Switches the language as the chooser's OK does and applies the texts.
void SwitchLanguage(THauptForm& window, int offset);

template <class T> T* Find(THauptForm& window, const QString& name) {
    return window.findChild<T*>(name);
}
template <class T> T* Find(THauptForm& window, const QByteArray& name) {
    return Find<T>(window, QString::fromLatin1(name));
}
template <class T> T* Find(THauptForm& window, const char* name) {
    return Find<T>(window, QString::fromLatin1(name));
}

// Counts the paint events a widget gets from its creation on.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::Paint;
        return false;
    }
};

// Pixels of an item of the icon view `view` that are pure enough red: the
// item named `name`, or the first one when `name` is empty.
int RedPixelsOfItem(QListView* view, const QString& name = QString());

} // namespace mwtest
