// The settings file is a small INI file:
//
//   [Section]
//   Key=Value
//
// Reading: section and key names match without regard to ASCII letter case;
// lines end in LF or CR LF; blanks (spaces, tabs) around names and values are
// ignored; a value wrapped in double quotes loses one pair of them; lines
// starting with ';' or '#' are comments and lines without '=' are ignored; of
// a key given twice the first wins, also across repeated sections of the same
// name. Values read are cut to kMaxValueLength characters.
//
// Writing changes only the one line of the key (or adds one) and keeps every
// other byte of the file as it was, including its line-end style.

#include "core/settings/SettingsStore.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <utility>

#include "core/files/AtomicFile.h"
#include "core/files/FileIO.h"
#include "core/text/TextRules.h"

namespace vantrel {

namespace {

// A change made within this long after our last look at the file may share
// its modification time with what we saw (file systems keep coarse clocks), so
// such a file is read again rather than trusted by its stamp.
constexpr std::int64_t kClockSlackNs = 2'000'000'000;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isQuoted(std::string_view text)
{
    return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

// The first `limit` characters of UTF-8 text. A byte that starts no valid
// sequence counts as one character; a sequence is never split.
std::string_view firstCharacters(std::string_view text, std::size_t limit)
{
    std::size_t i = 0;
    for (std::size_t count = 0; i < text.size(); ++count) {
        if (count == limit)
            return text.substr(0, i);
        const auto lead = static_cast<unsigned char>(text[i++]);
        const std::size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        for (std::size_t k = 0; k < extra && i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
             ++k)
            ++i;
    }
    return text;
}

// The text to store after '=' so that the reader gives back exactly `value`.
// A value cannot span lines, so each CR and LF in it is stored as a blank;
// that is the one change a value may undergo.
std::string storedForm(std::string_view value)
{
    std::string text(value);
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    if (!text.empty() && (isBlank(text.front()) || isBlank(text.back()) || isQuoted(text)))
        return '"' + text + '"';
    return text;
}

// Gives text that stops inside a line the line end that line lacks. A CR the
// line already ends with becomes part of that line end, so the line's own
// text stays what it was.
void endLastLine(std::string& text, std::string_view eol)
{
    if (text.empty() || text.back() == '\n')
        return;
    if (text.back() == '\r')
        text += '\n';
    else
        text += eol;
}

// The system clock, in the file times' nanoseconds since 1970.
std::int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Creates every missing directory on the way to the file. Failures are left
// for the write itself to report.
void makeParentDirectories(const std::string& path)
{
    std::error_code ignored;
    std::filesystem::create_directories(fileio::toPath(text::folderOf(path)), ignored);
}

}  // namespace

SettingsStore::SettingsStore(std::string filePath, std::vector<std::string> formerFiles)
      : path_(std::move(filePath)), formerFiles_(std::move(formerFiles))
{}

SettingsStore SettingsStore::fromText(std::string text)
{
    SettingsStore store{std::string()};
    store.inMemory_ = true;
    store.loaded_ = true;
    store.content_ = std::move(text);
    store.parse();
    return store;
}

std::optional<FileIdentity> SettingsStore::currentStamp() const
{
    if (fileio::isDeviceName(path_))
        return std::nullopt;
    return fileIdentity(path_);
}

void SettingsStore::revalidate()
{
    // A file changed again within the clock slack of our last look can carry
    // an unchanged stamp, so it is read once more until that time has passed.
    if (inMemory_)
        return;
    const std::optional<FileIdentity> now = currentStamp();
    if (!loaded_ || now != stamp_ || (now && loadedAtNs_ - now->mtimeNs < kClockSlackNs))
        load();
}

void SettingsStore::load()
{
    loaded_ = true;
    loadedAtNs_ = nowNs();
    content_.clear();
    unreadable_ = false;
    loadFailure_ = FileResult::success();

    // The kind of file is looked at before it is opened: opening a FIFO waits
    // for a writer, and opening a device may do something of its own.
    std::optional<fileio::FileInfo> info = fileio::infoOf(path_);
    if (!info) {
        stamp_ = std::nullopt;
        loadFailed(errno);
        if (!unreadable_)
            loadFormerFile();
        return;
    }
    stamp_ = info->identity;
    if (info->kind != fileio::Kind::Regular) {
        loadFailed(info->kind == fileio::Kind::Directory ? EISDIR : kNotRegularFile);
        return;
    }

    // Should the path have been replaced by a FIFO since, the open does not
    // wait and the look below refuses it.
    const FileHandle file = fileio::openWithoutWaiting(path_, fileio::Access::Read);
    if (!file) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            stamp_ = std::nullopt;
        loadFailed(error);
        return;
    }
    info = fileio::infoOf(file);
    if (!info) {
        loadFailed(errno);
        return;
    }
    // The stamp of the very file we read, should it have been replaced
    // between the look above and the open.
    stamp_ = info->identity;
    if (info->kind != fileio::Kind::Regular) {
        loadFailed(info->kind == fileio::Kind::Directory ? EISDIR : kNotRegularFile);
        return;
    }

    FileResult read = fileio::readAll(file, content_);
    if (!read) {
        loadFailed(std::move(read), false);
        return;
    }
    parse();
}

// The settings file is missing: the first former file that reads stands in
// for it. One that cannot be read is passed over; none leaves the defaults.
void SettingsStore::loadFormerFile()
{
    for (const std::string& former : formerFiles_) {
        std::string bytes;
        if (!fileio::readWholeFile(former, bytes))
            continue;
        content_ = std::move(bytes);
        parse();
        return;
    }
}

// A path that names nothing (ENOENT, or ENOTDIR for a path through a file)
// is a missing file; any other failure leaves the file unreadable.
void SettingsStore::loadFailed(int error)
{
    loadFailed(error == kNotRegularFile ? FileResult::failure(std::string(kNotRegularFileCause))
                                        : FileResult::fromErrno(error),
               error == ENOENT || error == ENOTDIR);
}

// Either way readers see the defaults.
void SettingsStore::loadFailed(FileResult failure, bool missing)
{
    loadFailure_ = std::move(failure);
    unreadable_ = !missing;
    content_.clear();
    parse();
}

std::string SettingsStore::readFailure() const
{
    return loadFailure_.cause();
}

namespace {

std::string lowercased(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = text::lowerAscii(c);
    return lower;
}

// FNV-1a over the name without regard to letter case, with the section.
std::size_t hashOf(std::ptrdiff_t section, std::string_view key)
{
    std::uint64_t hash = 14695981039346656037ull ^ static_cast<std::uint64_t>(section);
    for (const char c : key) {
        hash ^= static_cast<unsigned char>(text::lowerAscii(c));
        hash *= 1099511628211ull;
    }
    // Spread every bit over the whole word (the finish of MurmurHash3): names
    // that differ only in their last digits would otherwise crowd together.
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdull;
    hash ^= hash >> 33;
    hash *= 0xc4ceb9fe1a85ec53ull;
    hash ^= hash >> 33;
    return static_cast<std::size_t>(hash);
}

}  // namespace

void SettingsStore::parse()
{
    lines_.clear();
    sections_.clear();
    keySlots_.clear();
    std::size_t pos = 0;
    // A byte-order mark left by an editor is no part of the first line.
    if (content_.starts_with("\xEF\xBB\xBF"))
        pos = 3;
    std::ptrdiff_t header = -1;
    std::size_t keys = 0;
    const std::string_view all(content_);
    while (pos < all.size()) {
        const std::size_t begin = pos;
        const std::size_t lf = all.find('\n', pos);
        std::size_t end = lf == std::string_view::npos ? all.size() : lf;
        pos = lf == std::string_view::npos ? all.size() : lf + 1;
        if (end > begin && all[end - 1] == '\r')
            --end;

        const std::string_view text = trimmed(all.substr(begin, end - begin));
        if (text.empty() || text.front() == ';' || text.front() == '#')
            continue;
        Line line;
        line.next = pos;
        auto locateName = [&](std::string_view name) {
            const std::string_view t = trimmed(name);
            line.nameBegin = static_cast<std::size_t>(t.data() - all.data());
            line.nameEnd = line.nameBegin + t.size();
        };
        if (text.front() == '[') {
            line.kind = Line::Kind::Section;
            const std::size_t close = text.find(']');
            locateName(text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            header = static_cast<std::ptrdiff_t>(lines_.size());
            line.header = header;
            line.section = sections_.try_emplace(lowercased(name(line)), header).first->second;
        } else if (const std::size_t eq = text.find('='); eq != std::string_view::npos && header >= 0) {
            // Keys ahead of every section are nobody's.
            line.kind = Line::Kind::Key;
            line.header = header;
            line.section = lines_[static_cast<std::size_t>(header)].section;
            locateName(text.substr(0, eq));
            const std::string_view value = trimmed(text.substr(eq + 1));
            line.valueBegin = static_cast<std::size_t>(value.data() - all.data());
            line.valueEnd = line.valueBegin + value.size();
            ++keys;
        } else {
            continue;
        }
        lines_.push_back(line);
        // The table below numbers lines in 32 bits; a file of more key lines
        // than that (8 GB and more) is read as far as they reach.
        if (lines_.size() == UINT32_MAX)
            break;
    }

    // The key lines readers see, the first of duplicated keys winning. The
    // table stays at most half full, so a search ends soon.
    if (keys == 0)
        return;
    std::size_t slots = 16;
    while (slots < 2 * keys)
        slots *= 2;
    keySlots_.assign(slots, 0);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind != Line::Kind::Key)
            continue;
        std::uint64_t& slot = keySlots_[keySlot(line.section, name(line))];
        if (slot == 0) {
            const auto tag = static_cast<std::uint64_t>(hashOf(line.section, name(line))) >> 32;
            slot = tag << 32 | (i + 1);
        }
    }
}

std::size_t SettingsStore::keySlot(std::ptrdiff_t section, std::string_view key) const
{
    // A slot holds the line's index + 1 in its low half and the high half of
    // the name's hash in its high half, so that most names that differ are
    // told apart without looking at the line.
    const std::size_t hash = hashOf(section, key);
    const auto tag = static_cast<std::uint32_t>(static_cast<std::uint64_t>(hash) >> 32);
    const std::size_t mask = keySlots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint64_t entry = keySlots_[slot];
        if (entry == 0)
            return slot;
        if (static_cast<std::uint32_t>(entry >> 32) != tag)
            continue;
        const Line& line = lines_[static_cast<std::uint32_t>(entry) - 1];
        if (line.section == section && text::equalsIgnoringCase(name(line), key))
            return slot;
    }
}

std::string_view SettingsStore::name(const Line& line) const
{
    return std::string_view(content_).substr(line.nameBegin, line.nameEnd - line.nameBegin);
}

std::ptrdiff_t SettingsStore::findKey(std::string_view section, std::string_view key) const
{
    const std::ptrdiff_t header = findSection(section);
    if (header < 0 || keySlots_.empty())
        return -1;
    const std::uint64_t entry = keySlots_[keySlot(header, key)];
    return entry == 0 ? -1 : static_cast<std::ptrdiff_t>(static_cast<std::uint32_t>(entry)) - 1;
}

std::ptrdiff_t SettingsStore::findSection(std::string_view section) const
{
    const auto found = sections_.find(lowercased(section));
    return found == sections_.end() ? -1 : found->second;
}

std::string SettingsStore::ReadString(std::string_view section, std::string_view key, std::string_view fallback)
{
    // Only the first use looks at the file; later changes on disk are picked
    // up by revalidate(), which every action calls once at its start.
    if (!loaded_)
        revalidate();
    const std::ptrdiff_t found = findKey(trimmed(section), trimmed(key));
    if (found < 0)
        return std::string(fallback);
    const Line& line = lines_[static_cast<std::size_t>(found)];
    std::string_view value = std::string_view(content_).substr(line.valueBegin, line.valueEnd - line.valueBegin);
    if (isQuoted(value))
        value = value.substr(1, value.size() - 2);
    return std::string(firstCharacters(value, kMaxValueLength));
}

void SettingsStore::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    revalidate();
    // A path we could not read may hold settings we would otherwise overwrite.
    if (unreadable_)
        throw SettingsReadError(path_, readFailure());
    section = trimmed(section);
    key = trimmed(key);

    const std::size_t firstLf = content_.find('\n');
    const std::string_view eol =
        (firstLf != std::string::npos && firstLf > 0 && content_[firstLf - 1] == '\r') ? "\r\n" : "\n";
    const std::string stored = storedForm(value);

    std::string updated;
    if (const std::ptrdiff_t found = findKey(section, key); found >= 0) {
        // Only the value's own text changes: the key keeps its spelling and
        // the blanks around the value stay where they were.
        const Line& line = lines_[static_cast<std::size_t>(found)];
        updated = content_.substr(0, line.valueBegin);
        updated += stored;
        updated.append(content_, line.valueEnd);
    } else if (const std::ptrdiff_t header = findSection(section); header >= 0) {
        // After the section's last key, ahead of any blank lines or comments
        // that lead into the next section.
        std::size_t anchor = static_cast<std::size_t>(header);
        for (std::size_t i = anchor + 1; i < lines_.size() && lines_[i].kind != Line::Kind::Section; ++i) {
            if (lines_[i].kind == Line::Kind::Key)
                anchor = i;
        }
        const Line& line = lines_[anchor];
        updated = content_.substr(0, line.next);
        endLastLine(updated, eol);
        updated.append(key).append("=").append(stored).append(eol);
        updated.append(content_, line.next);
    } else {
        updated = content_;
        endLastLine(updated, eol);
        updated.append("[").append(section).append("]").append(eol);
        updated.append(key).append("=").append(stored).append(eol);
    }

    if (inMemory_) {
        content_ = std::move(updated);
        parse();
        return;
    }
    const std::int64_t writtenAt = nowNs();
    if (!stamp_)
        makeParentDirectories(path_);
    if (const FileResult written = replaceFileAtomically(path_, updated); !written)
        throw SettingsWriteError(path_, written.cause());
    content_ = std::move(updated);
    parse();
    loadFailure_ = FileResult::success();
    stamp_ = currentStamp();
    loadedAtNs_ = writtenAt;
}

void SettingsStore::UpdateFile()
{
    // Every write already reached the disk (flushed and renamed into place),
    // so all that is left is to notice changes made by others.
    revalidate();
}

}  // namespace vantrel
