#pragma once

#include "ui/UiLog.h"

#include <exception>

namespace pagemint {

// Runs a dialog whose callers expect an answer and never an error: anything thrown is logged and
// the dialog counts as not confirmed.
template <typename Dialog> bool withoutErrors(const char *what, Dialog &&dialog) noexcept
{
    try {
        return dialog();
    } catch (const std::exception &error) {
        qCWarning(lcUi, "%s failed: %s", what, error.what());
    } catch (...) {
        qCWarning(lcUi, "%s failed", what);
    }
    return false;
}

} // namespace pagemint
