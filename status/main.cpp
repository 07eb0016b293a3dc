// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// kestrel-status: the countdown on standard output for status bars, without the window toolkit,
// so that starting it every second costs little more than starting date(1).
#include "StatusProgram.h"

int main(int argc, char* argv[])
{
    return kestrel::StatusProgramMain(argc, argv);
}
