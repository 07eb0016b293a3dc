#include "Settings.h"

#include "AtomicFile.h"

// SimpleIni is used as a single header: no character conversion (the settings file is kept as
// bytes), and its method bodies are compiled in this file only.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// A settings file holds a few kilobytes. A file past this size is not one: it reads as
// defaults and a write refuses to replace it.
constexpr std::size_t kMaxSettingsFileSize = 64 * 1024 * 1024;

// What tells one state of the settings file from another without reading it.
struct FileIdentity
{
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const struct stat& info)
{
    return {info.st_dev, info.st_ino, info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view TrimTrailingBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    return TrimTrailingBlanks(text);
}

// Cuts text to kMaxSettingLength bytes; a UTF-8 character that the cut would split is left out
// whole, so the value never ends in half a character.
std::string CutToMaxLength(std::string_view text)
{
    if (text.size() <= kMaxSettingLength) {
        return std::string(text);
    }
    std::size_t cut = kMaxSettingLength;
    for (std::size_t back = 1; back <= 3; ++back) {
        const auto byte = static_cast<unsigned char>(text[cut - back]);
        if ((byte & 0xC0) == 0x80) {
            continue; // a continuation byte: its lead byte is further back
        }
        if (byte >= 0xC0) {
            const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
            if (back < length) {
                cut -= back;
            }
        }
        break;
    }
    return std::string(text.substr(0, cut));
}

// Names the parser can give back as they were written. A section name may not hold the ']'
// that ends the section line; a key may not hold '=' nor start like a section or a comment.
// Neither may span lines. Both are passed here with the blanks around them already trimmed.
bool IsUsableSection(std::string_view name)
{
    return !name.empty() && name.find_first_of(std::string_view("]\r\n\0", 4)) == std::string_view::npos;
}

bool IsUsableKey(std::string_view name)
{
    return !name.empty() && name.find_first_of(std::string_view("=\r\n\0", 4)) == std::string_view::npos &&
           name.front() != '[' && name.front() != ';' && name.front() != '#';
}

// The settings text as the parser sees it. NUL bytes are dropped, since SimpleIni stops at the
// first one and a write would then lose every section after it. A UTF-8 byte-order mark (or a
// run of them) is taken off and remembered, so a write can put one back.
struct PreparedText
{
    bool hasBom = false;
    std::string body;
};

PreparedText PrepareText(std::string bytes)
{
    std::erase(bytes, '\0');
    PreparedText prepared;
    std::size_t bomLength = 0;
    while (std::string_view(bytes).substr(bomLength).starts_with(kUtf8Bom)) {
        bomLength += kUtf8Bom.size();
    }
    prepared.hasBom = bomLength > 0;
    bytes.erase(0, bomLength);
    prepared.body = std::move(bytes);
    return prepared;
}

// The one parse of the settings file, used by both the reader and the writer so they always
// agree on what the file holds. Duplicate keys are all kept, in file order (the reader takes the
// first). A line without '=' is not an entry: it reads as missing and a write drops it.
// (SimpleIni's key-only mode would give such a line the value of the key above it.)
bool Parse(const std::string& body, CSimpleIniA& ini)
{
    ini.SetSpaces(false);
    ini.SetAllowKeyOnly(false);
    return ini.LoadData(body.data(), body.size()) >= 0;
}

using KeyValues = CSimpleIniA::TKeyVal;

// The first of the keys in keys named key. Keys that compare equal keep their file order in
// the multimap, so the lower bound is the one that came first.
template <typename Map>
auto FindFirstKey(Map& keys, const std::string& key)
{
    const CSimpleIniA::Entry wanted(key.c_str());
    auto found = keys.lower_bound(wanted);
    if (found != keys.end() && keys.key_comp()(wanted, found->first)) {
        found = keys.end();
    }
    return found;
}

const char* FirstValue(const CSimpleIniA& ini, const std::string& section, const std::string& key)
{
    const KeyValues* keys = ini.GetSection(section.c_str());
    if (keys == nullptr) {
        return nullptr;
    }
    const auto found = FindFirstKey(*keys, key);
    return found == keys->end() ? nullptr : found->second;
}

// Sets the first key named key in section to value (which must outlive ini's use), or adds the
// key (and the section) at the end when missing. SimpleIni can only replace all duplicates of a
// key at once, so the first one is changed in place through the section's own map; ini is not
// const, so writing through it is sound.
bool SetFirstValue(CSimpleIniA& ini, const std::string& section, const std::string& key, const std::string& value)
{
    if (const KeyValues* keys = ini.GetSection(section.c_str())) {
        auto& editable = const_cast<KeyValues&>(*keys);
        if (const auto found = FindFirstKey(editable, key); found != editable.end()) {
            found->second = value.c_str();
            return true;
        }
    }
    return ini.SetValue(section.c_str(), key.c_str(), value.c_str()) >= 0;
}

// SimpleIni keeps a comment only as the lead-in of the entry below it, so comment lines after
// the last section or key would vanish on a write. These are those lines (with the blank lines
// among them), to be put back after the saved text. Lines end at LF, CR LF or a lone CR, as
// for the parser.
std::string TrailingComments(std::string_view body)
{
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < body.size();) {
        const std::size_t end = body.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(body.substr(start));
            break;
        }
        lines.push_back(body.substr(start, end - start));
        start = end + (body[end] == '\r' && end + 1 < body.size() && body[end + 1] == '\n' ? 2 : 1);
    }
    const auto isComment = [](std::string_view line) { return line.starts_with(';') || line.starts_with('#'); };

    std::size_t first = 0; // the line after the last one that is neither blank nor a comment
    std::optional<std::size_t> lastComment;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view text = TrimBlanks(lines[i]);
        if (isComment(text)) {
            lastComment = i;
        } else if (!text.empty()) {
            first = i + 1;
            lastComment.reset();
        }
    }
    if (!lastComment) {
        return {};
    }
    if (first == 0) {
        // A file without a single entry: the comment lines at its very start are the file's
        // own comment, which SimpleIni does write back.
        while (first < lines.size() && isComment(lines[first])) {
            ++first;
        }
    }
    std::string tail;
    for (std::size_t i = first; i <= *lastComment; ++i) {
        tail.append(lines[i]);
        tail.push_back('\n');
    }
    return tail;
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

enum class ReadOutcome
{
    Read,
    Missing,
    Failed
};

// Reads the whole settings file. Only a regular file counts (opened without blocking, so a
// FIFO put in its place cannot hang the program); info describes the file that was read.
ReadOutcome ReadWholeFile(const fs::path& path, std::string& bytes, struct stat& info)
{
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0) {
        return errno == ENOENT ? ReadOutcome::Missing : ReadOutcome::Failed;
    }
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::uintmax_t>(info.st_size) > kMaxSettingsFileSize) {
        return ReadOutcome::Failed;
    }
    bytes.clear();
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char chunk[16384];
    for (;;) {
        const ssize_t count = ::read(file.get(), chunk, sizeof chunk);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return ReadOutcome::Failed;
        }
        if (count == 0) {
            return ReadOutcome::Read;
        }
        if (bytes.size() + static_cast<std::size_t>(count) > kMaxSettingsFileSize) {
            return ReadOutcome::Failed;
        }
        bytes.append(chunk, static_cast<std::size_t>(count));
    }
}

// Creates the folder of a new settings file and any missing folder above it, readable by the
// user only.
bool MakeDirectories(const fs::path& directory)
{
    fs::path partial;
    for (const fs::path& part : directory) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) != 0) {
            struct stat info = {};
            if (::stat(partial.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
                return false;
            }
        }
    }
    return true;
}

// An environment variable naming a folder; nothing when it is unset, empty or not absolute.
std::optional<fs::path> FolderFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') {
        return std::nullopt;
    }
    return fs::path(value);
}

// $HOME, or the home folder of the user's account when HOME is unset; an empty path (so the
// folders below it are taken from the working folder) when there is neither.
fs::path HomeDirectory()
{
    if (auto home = FolderFromEnvironment("HOME")) {
        return *home;
    }
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
    struct passwd entry = {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr) {
        return fs::path(found->pw_dir);
    }
    return {};
}

} // namespace

struct SettingsFile::Snapshot
{
    FileIdentity identity;
    CSimpleIniA ini{false, true, false};
};

SettingsFile::SettingsFile(std::filesystem::path path) : m_path(std::move(path)) {}

SettingsFile::SettingsFile(const SettingsFile& other) : m_path(other.m_path) {}

SettingsFile& SettingsFile::operator=(const SettingsFile& other)
{
    if (this != &other) {
        m_path = other.m_path;
        m_snapshot.reset();
    }
    return *this;
}

SettingsFile::SettingsFile(SettingsFile&& other) noexcept = default;
SettingsFile& SettingsFile::operator=(SettingsFile&& other) noexcept = default;
SettingsFile::~SettingsFile() = default;

const SettingsFile::Snapshot* SettingsFile::currentSnapshot() const
{
    struct stat info = {};
    if (::stat(m_path.c_str(), &info) != 0) {
        m_snapshot.reset();
        return nullptr;
    }
    if (m_snapshot && m_snapshot->identity == IdentityOf(info)) {
        return m_snapshot.get();
    }
    m_snapshot.reset();
    std::string bytes;
    if (ReadWholeFile(m_path, bytes, info) != ReadOutcome::Read) {
        return nullptr;
    }
    auto snapshot = std::make_unique<Snapshot>();
    snapshot->identity = IdentityOf(info);
    if (!Parse(PrepareText(std::move(bytes)).body, snapshot->ini)) {
        return nullptr;
    }
    m_snapshot = std::move(snapshot);
    return m_snapshot.get();
}

std::string SettingsFile::ReadSetting(std::string_view section, std::string_view key,
                                      std::string_view defaultValue) const
{
    std::string fallback = CutToMaxLength(TrimTrailingBlanks(defaultValue));
    try {
        const std::string sectionName(TrimBlanks(section));
        const std::string keyName(TrimBlanks(key));
        if (!IsUsableSection(sectionName) || !IsUsableKey(keyName)) {
            return fallback;
        }
        const Snapshot* snapshot = currentSnapshot();
        const char* value = snapshot == nullptr ? nullptr : FirstValue(snapshot->ini, sectionName, keyName);
        return value == nullptr ? fallback : CutToMaxLength(TrimBlanks(value));
    } catch (const std::bad_alloc&) {
        m_snapshot.reset();
        return fallback;
    }
}

bool SettingsFile::WriteSetting(std::string_view section, std::string_view key, std::string_view value)
{
    try {
        const std::string sectionName(TrimBlanks(section));
        const std::string keyName(TrimBlanks(key));
        if (!IsUsableSection(sectionName) || !IsUsableKey(keyName)) {
            return false;
        }
        // A line break (or NUL) in a value would cut it short and make its rest a line of its own.
        std::string stored(value);
        std::replace_if(
            stored.begin(), stored.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; }, ' ');

        const std::optional<fs::path> target = ResolveLinks(m_path);
        if (!target) {
            return false;
        }
        std::string bytes;
        struct stat info = {};
        mode_t mode = 0600;
        switch (ReadWholeFile(*target, bytes, info)) {
        case ReadOutcome::Read:
            mode = info.st_mode & 0777;
            break;
        case ReadOutcome::Missing:
            if (target->has_parent_path() && !MakeDirectories(target->parent_path())) {
                return false;
            }
            break;
        case ReadOutcome::Failed:
            return false; // an unreadable file must not be replaced by one holding only this key
        }

        const PreparedText prepared = PrepareText(std::move(bytes));
        CSimpleIniA ini(false, true, false);
        if (!Parse(prepared.body, ini) || !SetFirstValue(ini, sectionName, keyName, stored)) {
            return false;
        }
        std::string text = prepared.hasBom ? std::string(kUtf8Bom) : std::string();
        if (ini.Save(text) < 0) {
            return false;
        }
        text += TrailingComments(prepared.body);

        const Replaced written = ReplaceFileAtomically(*target, text, mode);
        if (written.error != 0) {
            return false;
        }
        // The text just written is what the next read would parse: keep its parse for that read.
        auto snapshot = std::make_unique<Snapshot>();
        snapshot->identity = IdentityOf(written.status);
        if (Parse(PrepareText(std::move(text)).body, snapshot->ini)) {
            m_snapshot = std::move(snapshot);
        } else {
            m_snapshot.reset();
        }
        return true;
    } catch (const std::exception&) {
        m_snapshot.reset();
        return false;
    }
}

std::optional<RuntimeError> SettingsFile::WriteSettings(std::span<const SettingWrite> entries)
{
    for (const SettingWrite& entry : entries) {
        if (!WriteSetting(entry.section, entry.key, entry.value)) {
            return RuntimeError(RuntimeError::PathFileAccessError);
        }
    }
    return std::nullopt;
}

std::string SingleText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value));
    return std::string(buffer, result.ptr);
}

std::filesystem::path DefaultSettingsPath()
{
    if (auto config = FolderFromEnvironment("XDG_CONFIG_HOME")) {
        return *config / "kestrel" / "KESTREL.INI";
    }
    return HomeDirectory() / ".config" / "kestrel" / "KESTREL.INI";
}

std::filesystem::path DefaultDataDirectory()
{
    if (auto data = FolderFromEnvironment("XDG_DATA_HOME")) {
        return *data / "kestrel";
    }
    return HomeDirectory() / ".local" / "share" / "kestrel";
}

} // namespace kestrel
