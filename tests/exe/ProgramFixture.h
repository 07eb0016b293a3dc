// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Program.h"
#include "QtPrinters.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "ToolbarWindow.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace kestrel::test {

// A program with its own settings file in a temporary folder, a clock fixed at
// Thursday 30 December 1999 15:20:45 and dialogs answered by the test.
class ProgramFixture : public ::testing::Test
{
protected:
    ProgramFixture() : clock(PackDateTime(1999, 12, 30, 15, 20, 45)) {}

    void SetUp() override
    {
        std::filesystem::create_directories(dir / "bin");
        std::filesystem::create_directories(dir / "config");
        program = std::make_unique<Program>(SettingsFile(dir / "config" / "KESTREL.INI"), clock, dialogs, dir / "bin",
                                            dir / "data");
    }

    void TearDown() override
    {
        EXPECT_TRUE(dialogs.scriptErrors().isEmpty()) << dialogs.scriptErrors().join("\n").toStdString();
        // Windows closed during the test are deleted by the event loop later, and windows still
        // open go with the test: delete them now, while the program they unload from exists.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (const LoadedWindows::Entry& entry : program->windows.entries()) {
            if (entry.window != nullptr && entry.window != toolbar.get()) {
                delete entry.window;
            }
        }
        toolbar.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        program.reset();
    }

    // Loads the settings as start-up does and opens the toolbar.
    ToolbarWindow& StartToolbar()
    {
        program->ProgramSettings = LoadProgramSettings(program->settings, program->dataDirectory);
        toolbar = std::make_unique<ToolbarWindow>(*program);
        dialogs.setParentWindow(toolbar.get());
        toolbar->Load();
        return *toolbar;
    }

    void WriteSettings(const std::string& text) { WriteFile(settingsPath(), text); }
    std::string ReadSettings() const { return ReadFile(settingsPath()); }
    std::filesystem::path settingsPath() const { return dir / "config" / "KESTREL.INI"; }
    std::string Setting(const char* section, const char* key) const
    {
        return program->settings.ReadSetting(section, key, "<missing>");
    }

    // Closes the modal dialog that the next statement opens, once it shows.
    static void CloseNextModal()
    {
        QTimer::singleShot(0, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
            }
        });
    }

    TempDir dir;
    FixedClock clock;
    ScriptedDialogs dialogs;
    std::unique_ptr<Program> program;
    std::unique_ptr<ToolbarWindow> toolbar;
};

} // namespace kestrel::test
