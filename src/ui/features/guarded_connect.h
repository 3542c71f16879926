#pragma once
// Connects a control's signal to a handler body that runs inside the event-loop
// guard, so no exception ever crosses the Qt event loop:
//
//     ConnectGuarded(button, &QAbstractButton::clicked, this, [this] { BitBtn_DDS01Click(); });
//
// The signal's arguments are not passed on; handlers read their controls.

#include "app/error_handler.h"

#include <QObject>

template <class Sender, class Signal, class Body>
QMetaObject::Connection ConnectGuarded(Sender* sender, Signal signal, QObject* receiver,
                                       Body body) {
    return QObject::connect(sender, signal, receiver,
                            [receiver, body] { GuardedHandler(receiver, body); });
}
