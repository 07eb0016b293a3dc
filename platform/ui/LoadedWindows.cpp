// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoadedWindows.h"

#include <algorithm>

namespace kestrel {

namespace {

// Window names compare without case, as the settings file's names do.
bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

void LoadedWindows::add(const QString& name, QWidget* window)
{
    if (window == nullptr) {
        return;
    }
    prune();
    const bool loaded = std::any_of(m_entries.begin(), m_entries.end(),
                                    [window](const Entry& entry) { return entry.window == window; });
    if (!loaded) {
        m_entries.push_back({name, window});
        connect(window, &QObject::destroyed, this, [this] {
            prune();
            emit changed();
        });
        emit changed();
    }
}

void LoadedWindows::remove(QWidget* window)
{
    const std::size_t before = m_entries.size();
    std::erase_if(m_entries, [window](const Entry& entry) { return entry.window.isNull() || entry.window == window; });
    if (window != nullptr) {
        disconnect(window, &QObject::destroyed, this, nullptr);
    }
    if (m_entries.size() != before) {
        emit changed();
    }
}

std::vector<LoadedWindows::Entry> LoadedWindows::entries() const
{
    prune();
    return m_entries;
}

int LoadedWindows::count() const
{
    prune();
    return static_cast<int>(m_entries.size());
}

bool LoadedWindows::contains(const QString& name) const
{
    return find(name) != nullptr;
}

QWidget* LoadedWindows::find(const QString& name) const
{
    prune();
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [&name](const Entry& entry) { return SameName(entry.name, name); });
    return found == m_entries.end() ? nullptr : found->window.data();
}

void LoadedWindows::prune() const
{
    std::erase_if(m_entries, [](const Entry& entry) { return entry.window.isNull(); });
}

} // namespace kestrel
