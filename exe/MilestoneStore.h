// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AtomicFile.h"
#include "Milestones.h"
#include "OwnFiles.h"
#include "ProgramSettings.h"
#include "RuntimeError.h"
#include "Settings.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QObject>

#include <cstdint>
#include <filesystem>
#include <optional>

namespace kestrel {

// The one milestone table of a run. It comes from the file that holds the milestones, is read
// again when that file changes on disk (also when another program replaces it by a rename, which
// is why its folder is watched too), and is saved back to it. Every window and output that shows
// milestones reads this table and hears `changed` when it is read anew.
class MilestoneStore final : public QObject
{
    Q_OBJECT

public:
    MilestoneStore(const SettingsFile& settingsFile, const ProgramSettings& settings,
                   std::filesystem::path dataDirectory);

    MilestoneTable& table() { return m_table; }
    const MilestoneTable& table() const { return m_table; }
    // The file that holds the milestones now.
    std::filesystem::path path() const;

    // Reads the file into the table and watches it. The error of a file that cannot be read or is
    // damaged, the table then holding the records read before the damage.
    std::optional<RuntimeError> load();
    // Saves the table to the file (making the data folder on the first save), then reads it back
    // and tells the listeners. The error when it cannot be saved, the table keeping its change.
    // A milestone file that is another of Kestrel's own files (the settings file, the countdown
    // file, the calendar feed) is never written, whatever the settings say; nor is a file that
    // could not be read whole at its last read, since the table then lacks what was not read.
    std::optional<RuntimeError> save();
    // The error to give instead of writing or discarding the milestone file when it is another of
    // Kestrel's own files; none when it may be written.
    std::optional<RuntimeError> refusal() const;
    // The table as the file holds it now: read again first when the file changed since it was
    // last read (or was never read). For readers that look on their own, such as notifications.
    const MilestoneTable& current();
    // Clear All: the file goes by `discard` (the desktop's trash) and the table is emptied.
    MilestoneTable::Cleared clearAll(const MilestoneTable::Discard& discard);
    // Counts the reads and saves, so a reader that keeps something made from the table knows when
    // to make it again.
    std::uint64_t revision() const { return m_revision; }

signals:
    // The table was read anew after the file changed on disk, or was saved.
    void changed();
    // The table was emptied by Clear All.
    void cleared();

private:
    void watch();
    void fileMayHaveChanged();

    const SettingsFile& m_settingsFile;
    const ProgramSettings& m_settings;
    std::filesystem::path m_dataDirectory;
    MilestoneTable m_table;
    // The table as last read, the base of a merge when the file changed before a save.
    MilestoneTable m_asRead;
    QFileSystemWatcher m_watcher;
    // The file as last read or saved: a change on disk is a different identity.
    std::optional<FileIdentity> m_identity;
    // What stopped the last read: until the file reads whole, it is not saved over.
    std::optional<RuntimeError> m_readError;
    std::filesystem::path m_readPath;
    std::uint64_t m_revision = 0;
    bool m_read = false;
};

} // namespace kestrel
