#pragma once
// The one place where an exception becomes a message box. Every entry point from the
// event loop (a server line, a menu command, a button, a key, a mouse or drag event)
// runs its work through Guard, so Qt never sees an exception.

#include "cards/Hands.h"
#include "Dialogs.h"

#include <exception>
#include <utility>

template<typename F>
bool Guard(Dialogs &dialogs, F &&work)
{
    try {
        std::forward<F>(work)();
        return true;
    } catch (const VimoError &e) {
        dialogs.error(e.text());
    } catch (const std::bad_alloc &) {
        dialogs.error(QStringLiteral("Elfogyott a memória."));
    } catch (const std::exception &e) {
        dialogs.error(QString::fromUtf8(e.what()));
    }
    return false;
}
