// Window-wide handlers: the size limit and the desktop's font and colours.

#include "ui/main_window/hauptform.h"

#include "app/error_handler.h"
#include "ui/icons/theme_icons.h"

#include <QEvent>

void THauptForm::LimitWindowSize() {
    setMinimumSize(kMinimumWindowSize.expandedTo(minimumSizeHint()));
}

void THauptForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // The desktop's font changed: the pages may need more room now.
    if (event->type() == QEvent::FontChange)
        GuardedHandler(this, [this] { LimitWindowSize(); });
    // The desktop's colours changed: the icons follow light or dark.
    if (event->type() == QEvent::PaletteChange)
        GuardedHandler(this, [this] { MatchIconThemeToPalette(palette()); });
}
