#include "core/pilot/MemoryFileAccess.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vantrel {

namespace {

class MemoryFile final : public OpenFile {
public:
    MemoryFile(std::string& bytes, bool readOnly) : bytes_(bytes), readOnly_(readOnly) {}

    std::int64_t size() override { return static_cast<std::int64_t>(bytes_.size()); }

    bool seek(std::int64_t offset) override
    {
        if (offset < 0)
            return false;
        position_ = offset;
        return true;
    }

    bool read(void* buffer, std::size_t count) override
    {
        const std::int64_t available = std::max<std::int64_t>(0, size() - position_);
        const std::size_t n = std::min<std::size_t>(count, static_cast<std::size_t>(available));
        if (n > 0)
            std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += static_cast<std::int64_t>(n);
        return n == count;
    }

    bool write(const void* buffer, std::size_t count) override
    {
        if (readOnly_)
            return false;
        const auto end = static_cast<std::size_t>(position_) + count;
        if (bytes_.size() < end)
            bytes_.resize(end, '\0');
        std::memcpy(bytes_.data() + position_, buffer, count);
        position_ += static_cast<std::int64_t>(count);
        return true;
    }

    bool atEnd() override { return position_ >= size(); }
    bool flush() override { return true; }
    // Writable for everyone, so that the save does not take it for a file
    // marked read-only.
    std::optional<Status> status() override { return Status{{}, 0666}; }

private:
    std::string& bytes_;
    bool readOnly_;
    std::int64_t position_ = 0;
};

}  // namespace

const std::string* MemoryFileAccess::bytes(const std::string& name) const
{
    const auto found = files_.find(name);
    return found == files_.end() ? nullptr : &found->second;
}

std::string MemoryFileAccess::take(const std::string& name)
{
    auto node = files_.extract(name);
    return node ? std::move(node.mapped()) : std::string();
}

std::unique_ptr<OpenFile> MemoryFileAccess::open(const std::string& path, OpenMode mode)
{
    const auto found = files_.find(path);
    if (found == files_.end()) {
        errno = ENOENT;
        return nullptr;
    }
    return std::make_unique<MemoryFile>(found->second, mode == OpenMode::ReadOnly);
}

FileResult MemoryFileAccess::replace(const std::string& path, std::string_view bytes, const ReplaceOptions&)
{
    const auto found = files_.find(path);
    if (found == files_.end())
        return FileResult::fromErrno(ENOENT);
    found->second.assign(bytes);
    return FileResult::success();
}

}  // namespace vantrel
