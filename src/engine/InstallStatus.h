#pragma once
// The one record through which the installation worker tells the interface
// where it is. The worker writes it, the status panel polls snapshots of it;
// a lock keeps each write and each snapshot consistent. Plain C++.
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "engine/EngineText.h"

namespace ovek {

enum InstallState : std::int32_t {
    kStateInitializing = 0,
    kStateDownloading = 2,
    kStateInstalling = 3,
    kStateCancelling = 4,
    kStateFinished = 5,
    kStateFailed = 6,
    kStateCancelled = 7,
};

inline bool IsFinalState(std::int32_t state) {
    return state == kStateFinished || state == kStateFailed || state == kStateCancelled;
}

struct StatusSnapshot {
    std::int32_t state = 0;
    float overallPercent = 0.0f;
    std::wstring statusText;
    std::wstring timeText;
};

// Scales the list to percentages that add up to exactly 100 (the last entry
// takes the rounding); an empty list stays empty.
void NormalizeWeights(std::vector<std::int32_t>& weights);

// Progress over the weighted items: everything before itemIndex plus the
// itemPercent share (at most all) of item itemIndex, at most 100; an index
// outside the list counts as all done.
float OverallPercent(const std::vector<std::int32_t>& weights, std::int32_t itemIndex, std::int32_t itemPercent);

// "mm mins ss secs remaining..." and its hour and second forms.
std::wstring FormatTimeRemaining(std::uint32_t ms, const EngineTextLookup& text);

class InstallStatus {
public:
    using TickSource = std::function<std::uint32_t()>;

    // Texts default to the interface language, ticks to a monotonic clock.
    explicit InstallStatus(EngineTextLookup text = {}, TickSource ticks = {});

    // Once cancelling, only "cancelled" may replace it.
    void SetStatus(std::int32_t state, std::int32_t itemIndex, std::int32_t itemPercent);
    // Moves to "cancelling" unless a final state (or cancelling) is already
    // there, in one step, so a final state written just before is kept.
    // Returns true when the state is now "cancelling".
    bool TrySetCancelling();
    void SetWeights(std::vector<std::int32_t> downloadWeights, std::vector<std::int32_t> installWeights);
    StatusSnapshot TakeStatusSnapshot();

    std::int32_t State() const;
    std::vector<std::int32_t> DownloadWeights() const;
    std::vector<std::int32_t> InstallWeights() const;

private:
    std::wstring Text(EngineText id) const;

    mutable std::mutex mutex_;
    std::vector<std::int32_t> downloadWeights_;
    std::vector<std::int32_t> installWeights_;
    std::int32_t state_ = kStateInitializing;
    std::int32_t itemIndex_ = 0;
    std::int32_t itemPercent_ = 0;
    std::uint32_t startTick_ = 0;
    bool started_ = false;  // startTick_ is valid (a tick of 0 is a valid tick)
    EngineTextLookup text_;
    TickSource ticks_;
};

}  // namespace ovek
