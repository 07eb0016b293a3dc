// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as the milestone file. Reading must never fail, whatever the bytes; the records
// read, written out in the encoding they were read in and read again, must come back the same,
// and writing them again must give the same bytes.

#include "Milestones.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

kestrel::MilestoneTable TableOf(kestrel::ParsedMilestones parsed)
{
    kestrel::MilestoneTable table;
    for (kestrel::Milestone& record : parsed.records) {
        table.append(std::move(record));
    }
    table.setEncoding(parsed.encoding);
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kestrel::MilestoneTable table = TableOf(kestrel::ParseMilestoneFile(bytes, "fuzz"));

    // Searches over whatever keys the file held.
    for (long long day : {0LL, 1LL, 36526LL, -1LL}) {
        (void)table.FindMilestoneOnDay(day);
    }
    (void)table.NextMilestoneMonth({2000, 1});
    (void)table.PreviousMilestoneMonth({2000, 1});

    // What saving the table writes: a UTF-16 file's text goes back as UTF-16, so that code units
    // that make no UTF-8 (a surrogate without its partner) come back as they were.
    const auto bytesOf = [](const kestrel::MilestoneTable& t) {
        return kestrel::EncodeMilestoneFile(kestrel::MilestoneFileText(t), t.encoding());
    };
    const std::string first = bytesOf(table);
    kestrel::ParsedMilestones again = kestrel::ParseMilestoneFile(first, "fuzz");
    if (again.error || static_cast<int>(again.records.size()) != table.count()) {
        std::abort();
    }
    for (int position = 1; position <= table.count(); ++position) {
        const kestrel::Milestone& before = table.at(position);
        const kestrel::Milestone& after = again.records[static_cast<std::size_t>(position - 1)];
        if (before.key != after.key || before.text != after.text) {
            std::abort();
        }
    }
    if (bytesOf(TableOf(std::move(again))) != first) {
        std::abort();
    }
    table.SortMilestones();
    return 0;
}
