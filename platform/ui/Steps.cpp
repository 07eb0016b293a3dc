// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Steps.h"

#include "Dialogs.h"
#include "RuntimeError.h"

#include <QtGlobal>

#include <exception>

namespace kestrel {

bool RunStep(Dialogs& dialogs, const std::function<void()>& step)
{
    QString report;
    try {
        step();
        return true;
    } catch (const RuntimeError& error) {
        report = QString::fromStdString(error.report());
    } catch (const std::exception& error) {
        // A fault of the program itself, not of the user's data: the user sees error 51 and the
        // window goes on; the cause goes to the log for whoever investigates.
        qWarning("Kestrel: internal error in a load step: %s", error.what());
        report = QString::fromStdString(RuntimeError(RuntimeError::InternalError).report());
    } catch (...) {
        qWarning("Kestrel: internal error in a load step");
        report = QString::fromStdString(RuntimeError(RuntimeError::InternalError).report());
    }
    try {
        dialogs.MsgBox(report, Dialogs::Buttons::Ok, Dialogs::Icon::None);
    } catch (const std::exception& error) {
        qWarning("Kestrel: could not report \"%s\": %s", qPrintable(report), error.what());
    } catch (...) {
        qWarning("Kestrel: could not report \"%s\"", qPrintable(report));
    }
    return false;
}

} // namespace kestrel
