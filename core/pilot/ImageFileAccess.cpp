#include "core/pilot/ImageFileAccess.h"

#include <cerrno>
#include <cstring>

namespace vantrel {

namespace {

class ImageFile final : public OpenFile {
public:
    explicit ImageFile(std::string_view bytes) : bytes_(bytes) {}
    std::int64_t size() override { return static_cast<std::int64_t>(bytes_.size()); }
    bool seek(std::int64_t offset) override
    {
        if (offset < 0)
            return false;
        position_ = static_cast<std::uint64_t>(offset);
        return true;
    }
    bool read(void* buffer, std::size_t count) override
    {
        if (position_ > bytes_.size() || count > bytes_.size() - position_)
            return false;
        std::memcpy(buffer, bytes_.data() + position_, count);
        position_ += count;
        return true;
    }
    bool write(const void*, std::size_t) override { return false; }
    bool atEnd() override { return position_ >= bytes_.size(); }
    bool flush() override { return true; }

private:
    std::string_view bytes_;
    std::uint64_t position_ = 0;
};

}  // namespace

std::unique_ptr<OpenFile> ImageFileAccess::open(const std::string&, OpenMode mode)
{
    if (mode != OpenMode::ReadOnly) {
        errno = EROFS;
        return nullptr;
    }
    return std::make_unique<ImageFile>(bytes_);
}

FileResult ImageFileAccess::replace(const std::string&, std::string_view, const ReplaceOptions&)
{
    return FileResult::fromErrno(EROFS);
}

}  // namespace vantrel
