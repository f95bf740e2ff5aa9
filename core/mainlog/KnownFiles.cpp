#include "core/mainlog/KnownFiles.h"

#include <filesystem>
#include <system_error>

#include "core/files/FileIO.h"

namespace vantrel::mainlog {

namespace {

// The name a file is known by: links and "." or ".." resolved as far as the
// path exists.
std::string canonicalKey(const std::string& path)
{
    std::error_code error;
    std::filesystem::path key = std::filesystem::weakly_canonical(fileio::toPath(path), error);
    if (error)
        key = std::filesystem::absolute(fileio::toPath(path), error);
    return error ? path : fileio::toUtf8(key);
}

}  // namespace

KnownFiles::Seen& KnownFiles::entryFor(const std::string& path, const std::optional<FileIdentity>& identity)
{
    const std::string key = canonicalKey(path);
    for (Seen& seen : seen_) {
        if (seen.key == key) {
            seen.identity = identity;
            return seen;
        }
    }
    seen_.push_back(Seen{key, identity, false});
    return seen_.back();
}

const KnownFiles::Seen* KnownFiles::find(const std::string& path, const std::optional<FileIdentity>& now) const
{
    const std::string key = canonicalKey(path);
    for (const Seen& seen : seen_) {
        if (seen.key == key)
            return &seen;
    }
    // Another name of a file we know: a hard link, or a spelling the
    // canonical path does not reach.
    if (now) {
        for (const Seen& seen : seen_) {
            if (seen.identity && seen.identity->volume == now->volume && seen.identity->index == now->index)
                return &seen;
        }
    }
    return nullptr;
}

void KnownFiles::loaded(const std::string& path, const std::optional<FileIdentity>& identity)
{
    entryFor(path, identity).loadFailed = false;
}

void KnownFiles::loadFailed(const std::string& path, const std::optional<FileIdentity>& identity)
{
    entryFor(path, identity).loadFailed = true;
}

void KnownFiles::written(const std::string& path, const std::optional<FileIdentity>& identity)
{
    entryFor(path, identity).loadFailed = false;
}

KnownFiles::Risk KnownFiles::risk(const std::string& path, const std::optional<FileIdentity>& now) const
{
    // A file that is gone loses nothing when it is written anew.
    if (!now)
        return Risk::None;
    const Seen* seen = find(path, now);
    if (!seen)
        return Risk::NotHeld;
    if (seen->loadFailed)
        return Risk::NotLoaded;
    if (!seen->identity || *seen->identity != *now)
        return Risk::Changed;
    return Risk::None;
}

}  // namespace vantrel::mainlog
