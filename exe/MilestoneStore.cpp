// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "MilestoneStore.h"

#include "SharedCalendar.h"
#include "SyncMerge.h"

namespace kestrel {

MilestoneStore::MilestoneStore(const SettingsFile& settingsFile, const ProgramSettings& settings,
                               std::filesystem::path dataDirectory)
    : m_settingsFile(settingsFile), m_settings(settings), m_dataDirectory(std::move(dataDirectory))
{
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &MilestoneStore::fileMayHaveChanged);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &MilestoneStore::fileMayHaveChanged);
}

std::filesystem::path MilestoneStore::path() const
{
    return MilestoneFilePath(m_settings, m_dataDirectory);
}

std::optional<RuntimeError> MilestoneStore::load()
{
    const std::filesystem::path file = path();
    m_identity = IdentityOfFile(file);
    m_read = true;
    std::optional<RuntimeError> error = m_table.LoadMilestones(file);
    m_asRead = m_table;
    m_readError = error;
    m_readPath = file;
    ++m_revision;
    watch();
    return error;
}

std::optional<RuntimeError> MilestoneStore::refusal() const
{
    const std::filesystem::path file = path();
    const std::optional<OwnFile> clash =
        OwnFileAt(file, OwnFilesOf(m_settingsFile, m_settings, m_dataDirectory), OwnFile::Milestones);
    if (!clash) {
        return std::nullopt;
    }
    const RuntimeError error(RuntimeError::PathFileAccessError);
    return error.described(error.description() + ": " +
                           CouldNotBeSavedText("the milestones", file, "it is " + OwnFileName(*clash)));
}

std::optional<RuntimeError> MilestoneStore::save()
{
    if (std::optional<RuntimeError> refused = refusal()) {
        return refused;
    }
    if (m_readError && m_readPath == path()) {
        return m_readError->described(
            m_readError->description() +
            ". The milestones are not saved: the file holds more than could be read, and saving would delete "
            "it. Mend the file or choose another milestone file, then apply again.");
    }
    const std::filesystem::path file = path();
    // The data folder is the program's own: make it on the first save. Any other folder is the
    // user's choice and must exist.
    if (file.parent_path() == m_dataDirectory) {
        std::error_code ignored;
        std::filesystem::create_directories(m_dataDirectory, ignored);
    }
    // A sync of the shared calendar writes the file too: one at a time. The sync holds the lock
    // only while it merges, so a lock not had within seconds belongs to a program that hangs, and
    // the user's change is saved all the same.
    const std::optional<FileLock> lock = LockWhenShared(m_settingsFile, std::chrono::seconds(5));
    if (m_read && m_readPath == file && IdentityOfFile(file) != m_identity) {
        // The file changed since it was read (a sync brought the team's changes): this table's
        // changes since then go into what the file holds now, rather than over it.
        MilestoneTable onDisk;
        if (!onDisk.LoadMilestones(file)) {
            const DaysMerge merge = MergeDays(TableDays(m_asRead), TableDays(m_table), TableDays(onDisk));
            m_table = TableWithDays(onDisk, merge.days);
        }
    }
    if (std::optional<RuntimeError> error = m_table.SaveMilestones(file)) {
        return error;
    }
    // What is read back is what was just written; a problem reading it shows where the table is
    // opened next.
    (void)load();
    emit changed();
    return std::nullopt;
}

MilestoneTable::Cleared MilestoneStore::clearAll(const MilestoneTable::Discard& discard)
{
    MilestoneTable::Cleared result = m_table.ClearAllMilestones(path(), discard);
    // The file this program emptied is not another program's change.
    m_identity = IdentityOfFile(path());
    ++m_revision;
    if (result.discarded) {
        emit cleared();
    }
    return result;
}

const MilestoneTable& MilestoneStore::current()
{
    if (!m_read || IdentityOfFile(path()) != m_identity) {
        // A damaged file gives what could be read; the desk calendar is where it is reported.
        (void)load();
    }
    return m_table;
}

void MilestoneStore::watch()
{
    const QString file = QString::fromStdString(path().string());
    // A folder that does not exist yet is watched through the nearest one that does, so that its
    // making is seen and the file in it watched from then on.
    std::filesystem::path existing = path().parent_path();
    std::error_code error;
    while (!existing.empty() && existing != existing.root_path() && !std::filesystem::is_directory(existing, error)) {
        existing = existing.parent_path();
    }
    const QString folder = QString::fromStdString(existing.string());
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    for (const QString& stale : watched) {
        if (stale != file && stale != folder) {
            m_watcher.removePath(stale);
        }
    }
    // A file replaced by a rename is no longer watched; adding it again picks up the new one.
    for (const QString& wanted : {file, folder}) {
        if (!watched.contains(wanted) && QFileInfo::exists(wanted)) {
            m_watcher.addPath(wanted);
        }
    }
}

void MilestoneStore::fileMayHaveChanged()
{
    if (IdentityOfFile(path()) == m_identity) {
        watch();
        return;
    }
    // A damaged file is reported where the table is opened (the desk calendar, the report); here
    // the table takes what could be read.
    (void)load();
    emit changed();
}

} // namespace kestrel
