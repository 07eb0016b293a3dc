// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WindowRegistry.h"

#include <QDialog>

namespace kestrel {

struct Program;

// The about window: the product's name and picture, what it does, and the maker's address.
class AboutWindow : public QDialog
{
    Q_OBJECT
public:
    explicit AboutWindow(Program& program);
    ~AboutWindow() override;

private:
    Program& m_program;
    WindowLife m_life;
};

} // namespace kestrel
