#pragma once

#include "platform/errors.h"
#include "platform/prompter.h"

#include <exception>

namespace bp {

// Runs one command; an error it raises is shown in an error box instead of
// travelling on into the event loop. Returns false after an error.
template <class F> bool guarded(QWidget* parent, F&& command)
{
    try {
        command();
        return true;
    } catch (const EBrewpadError& e) {
        showError(parent, e.message());
    } catch (const std::exception& e) {
        showError(parent, QString::fromLocal8Bit(e.what()));
    }
    return false;
}

} // namespace bp
