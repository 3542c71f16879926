#pragma once
// One part of the main window with its own widgets, handlers and state. Each
// job's page has one, in a folder of its own below ui/features/ (the defect
// scan, the reduction, index pictures and thumbnails, batch functions,
// duplicates, similar pictures, the editor); the window's own parts have
// theirs in ui/main_window/ (the file browser, the pop-up preview, the
// window's commands). A controller builds its widgets in the places the
// window prepared, gives them their control names, connects their signals
// where it creates them (onClick, onTrigger), and holds the handlers under
// their established names. The window keeps the hub: the frame, the list of
// controllers, the page rules, the locking, the job host and the language
// switch.
//
// Adding one: derive, implement build(), and register it with one line in
// THauptForm::registerControllers().

#include "ui/features/guarded_connect.h"
#include "ui/main_window/hauptform.h"

#include <QAbstractButton>
#include <QAction>
#include <QObject>
#include <QString>

class QStackedWidget;
class QTabWidget;

// The containers the window builds before the features fill them. A
// controller adds its pages in the order of registration: the series tabs
// stand in the order their controllers are registered.
struct FeaturePlaces {
    QTabWidget* mainTabs = nullptr;          // PageControl01: series work, editor
    QStackedWidget* upperPages = nullptr;    // HauptNotebook01: browser, result lists
    QTabWidget* seriesTabs = nullptr;        // HauptPageControl01: the four series tabs
    QStackedWidget* progressPages = nullptr; // NBStatus01
};

class FeatureController : public QObject {
public:
    explicit FeatureController(THauptForm& window);
    ~FeatureController() override;

    // Called once while the window is built; the menus, the toolbar and the
    // progress pages exist already.
    virtual void build(const FeaturePlaces& places) = 0;
    // Called once the window has read its settings, before it first shows:
    // the controller puts the stored values into its controls.
    virtual void windowCreated() {}
    // Called when the last job running has ended and unlocked the window.
    virtual void jobEnded() {}
    // Called when the window closes and again when it is destroyed: work
    // that calls into the window stops here.
    virtual void windowClosing() {}
    // Puts the texts of the current language on what the catalogue's
    // ApplyLanguage does not reach (the own texts); called on every switch.
    virtual void applyLanguage() {}

protected:
    THauptForm& window() const { return m_window; }
    // The window's control of that name; throws when there is none.
    template <class T> T* control(const QString& name) const { return m_window.control<T>(name); }
    // Connects the click of the button `objectName` (the trigger of the action
    // `actionName`) to `handler`, which runs inside the event-loop guard: a
    // member function of the controller, or anything callable without
    // arguments. A name the window lacks throws, as control() does.
    template <class C> void onClick(const QString& objectName, void (C::*handler)()) {
        onClick(objectName, [this, handler] { (static_cast<C*>(this)->*handler)(); });
    }
    template <class Handler> void onClick(const QString& objectName, Handler handler) {
        ConnectGuarded(control<QAbstractButton>(objectName), &QAbstractButton::clicked, this,
                       handler);
    }
    template <class C> void onTrigger(const QString& actionName, void (C::*handler)()) {
        onTrigger(actionName, [this, handler] { (static_cast<C*>(this)->*handler)(); });
    }
    template <class Handler> void onTrigger(const QString& actionName, Handler handler) {
        ConnectGuarded(control<QAction>(actionName), &QAction::triggered, this, handler);
    }
    // The folder chooser behind the destination field `fieldName`: it starts
    // at the field's folder (DestinationChooserStart), or with nothing chosen
    // opens at the folder the tree shows; the field then shows the choice.
    void chooseDestinationFolder(const QString& fieldName) const;

private:
    THauptForm& m_window;
};
