// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace kestrel {

class Dialogs;

// Runs one step of a window's load (or of a handler that reports and goes on). A run-time error
// is shown in a message box as "number description" and the caller goes on with its next step;
// any other exception is reported the same way as error 51 (Internal error). Returns true when
// the step finished without an error.
bool RunStep(Dialogs& dialogs, const std::function<void()>& step);

} // namespace kestrel
