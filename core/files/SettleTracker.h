// Files that another program writes, perhaps in several steps: when each one
// is complete (the size it must have) and has stayed as it is for a quiet
// period, so that one save, however it is written, is taken up once.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/files/AtomicFile.h"

namespace vantrel {

class SettleTracker {
public:
    using Clock = std::chrono::steady_clock;
    // What the file at a path is now: its identity, or nullopt when there is none.
    using Look = std::function<std::optional<FileIdentity>(const std::string&)>;

    SettleTracker(std::int64_t completeSize, Clock::duration quietPeriod);

    // The file as it is when watching starts: only a change from this counts.
    void known(const std::string& path, const std::optional<FileIdentity>& now);
    // The file may have changed; `now` is what it is at `at`. A file that is
    // still what it was last known as, or what it was last noted as, keeps
    // its place; any other change starts its quiet period afresh.
    void noteChange(const std::string& path, const std::optional<FileIdentity>& now, Clock::time_point at);

    // Looks at every file with a change pending. One that changed again
    // since it was noted starts its quiet period afresh; one that stayed as
    // it was for the whole period is settled: it is known as it is now, and
    // it is among the files returned when it has the complete size (a file of
    // any other size, or none at all, is settled too, but not returned).
    std::vector<std::string> settle(Clock::time_point at, const Look& look);

    // For a file settle() returned that must stay as it is for longer before
    // it is taken up (a save that may be torn): true when it has not stayed
    // as it is for `period` since its last change, and it is pending again
    // until it has, or until it changes; false when it already has.
    bool holdUntilQuietFor(const std::string& path, Clock::duration period, Clock::time_point at);

    // When settle() has something to decide next; nullopt when nothing is pending.
    std::optional<Clock::time_point> nextDecision() const;
    bool hasPending() const { return !pending_.empty(); }

    void forget(const std::string& path);
    void clear();

    Clock::duration quietPeriod() const { return quiet_; }
    void setQuietPeriod(Clock::duration period) { quiet_ = period; }

private:
    struct Pending {
        std::optional<FileIdentity> identity;
        Clock::time_point since;
        std::optional<Clock::duration> longer;  // a held file's own period
        Clock::duration period(Clock::duration quiet) const { return longer.value_or(quiet); }
    };

    std::int64_t completeSize_;
    Clock::duration quiet_;
    std::map<std::string, std::optional<FileIdentity>> known_;
    std::map<std::string, Pending> pending_;
    // When each settled file last changed.
    std::map<std::string, Clock::time_point> settledSince_;
};

}  // namespace vantrel
