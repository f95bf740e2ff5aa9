#include "core/files/SettleTracker.h"

namespace vantrel {

SettleTracker::SettleTracker(std::int64_t completeSize, Clock::duration quietPeriod)
      : completeSize_(completeSize), quiet_(quietPeriod)
{}

void SettleTracker::known(const std::string& path, const std::optional<FileIdentity>& now)
{
    known_[path] = now;
    pending_.erase(path);
}

void SettleTracker::noteChange(const std::string& path, const std::optional<FileIdentity>& now, Clock::time_point at)
{
    if (const auto pending = pending_.find(path); pending != pending_.end()) {
        if (pending->second.identity != now)
            pending->second = {now, at, {}};
        return;
    }
    // Told of a folder's change, every file in it is looked at; most of them
    // are just as they were.
    if (const auto seen = known_.find(path); seen != known_.end() && seen->second == now)
        return;
    pending_[path] = {now, at, {}};
}

std::vector<std::string> SettleTracker::settle(Clock::time_point at, const Look& look)
{
    std::vector<std::string> settled;
    for (auto it = pending_.begin(); it != pending_.end();) {
        Pending& pending = it->second;
        const std::optional<FileIdentity> now = look(it->first);
        if (now != pending.identity) {
            pending = {now, at, {}};
            ++it;
            continue;
        }
        if (at - pending.since < pending.period(quiet_)) {
            ++it;
            continue;
        }
        known_[it->first] = now;
        settledSince_[it->first] = pending.since;
        if (now && now->size == completeSize_)
            settled.push_back(it->first);
        it = pending_.erase(it);
    }
    return settled;
}

bool SettleTracker::holdUntilQuietFor(const std::string& path, Clock::duration period, Clock::time_point at)
{
    const auto since = settledSince_.find(path);
    const auto seen = known_.find(path);
    if (since == settledSince_.end() || seen == known_.end() || at - since->second >= period)
        return false;
    pending_[path] = Pending{seen->second, since->second, period};
    return true;
}

std::optional<SettleTracker::Clock::time_point> SettleTracker::nextDecision() const
{
    std::optional<Clock::time_point> next;
    for (const auto& [path, pending] : pending_) {
        const Clock::time_point due = pending.since + pending.period(quiet_);
        if (!next || due < *next)
            next = due;
    }
    return next;
}

void SettleTracker::forget(const std::string& path)
{
    known_.erase(path);
    pending_.erase(path);
    settledSince_.erase(path);
}

void SettleTracker::clear()
{
    known_.clear();
    pending_.clear();
    settledSince_.clear();
}

}  // namespace vantrel
