#include "engine/InstallStatus.h"

#include <chrono>

namespace ovek {

void NormalizeWeights(std::vector<std::int32_t>& weights) {
    if (weights.empty()) return;
    std::int64_t total = 0;
    for (auto w : weights) total += w;
    std::int64_t given = 0;
    for (std::size_t i = 0; i + 1 < weights.size(); ++i) {
        weights[i] = total != 0 ? static_cast<std::int32_t>(weights[i] * std::int64_t{100} / total) : 0;
        given += weights[i];
    }
    weights.back() = static_cast<std::int32_t>(100 - given);
}

float OverallPercent(const std::vector<std::int32_t>& weights, std::int32_t itemIndex, std::int32_t itemPercent) {
    const auto index = static_cast<std::uint32_t>(itemIndex);
    if (index >= weights.size()) return 100.0f;
    float sum = 0.0f;
    for (std::uint32_t i = 0; i < index; ++i) sum += static_cast<float>(weights[i]);
    // Windows Installer's records can carry a package past 100 %; that must
    // not fill the share of the items after it, or the bar would step back
    // when the next item starts.
    const std::int32_t percent = itemPercent > 100 ? 100 : itemPercent;
    sum += static_cast<float>(weights[index]) * static_cast<float>(percent) / 100.0f;
    return sum > 100.0f ? 100.0f : sum;
}

std::wstring FormatTimeRemaining(std::uint32_t ms, const EngineTextLookup& text) {
    const std::int64_t hours = ms / 3600000u;
    const std::int64_t s = (ms / 1000u) % 3600u;
    if (hours > 0) return FormatText(text(EngineText::TimeRemainingHours), {hours, s / 60, s % 60});
    if (s / 60 > 0) return FormatText(text(EngineText::TimeRemainingMins), {s / 60, s % 60});
    return FormatText(text(EngineText::TimeRemainingSecs), {s % 60});
}

InstallStatus::InstallStatus(EngineTextLookup text, TickSource ticks)
    : text_(text ? std::move(text) : EngineTextLookup(LookUpEngineText)), ticks_(std::move(ticks)) {
    if (!ticks_) {
        ticks_ = [] {
            using namespace std::chrono;
            return static_cast<std::uint32_t>(
                duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
        };
    }
}

void InstallStatus::SetStatus(std::int32_t state, std::int32_t itemIndex, std::int32_t itemPercent) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ == kStateCancelling && state != kStateCancelled) return;
    state_ = state;
    itemIndex_ = itemIndex;
    itemPercent_ = itemPercent;
}

bool InstallStatus::TrySetCancelling() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (IsFinalState(state_)) return false;
    if (state_ != kStateCancelling) {
        state_ = kStateCancelling;
        itemIndex_ = -1;
        itemPercent_ = 0;
    }
    return true;
}

void InstallStatus::SetWeights(std::vector<std::int32_t> downloadWeights, std::vector<std::int32_t> installWeights) {
    NormalizeWeights(downloadWeights);
    NormalizeWeights(installWeights);
    std::lock_guard<std::mutex> lock(mutex_);
    downloadWeights_ = std::move(downloadWeights);
    installWeights_ = std::move(installWeights);
}

std::int32_t InstallStatus::State() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return state_;
}

std::vector<std::int32_t> InstallStatus::DownloadWeights() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return downloadWeights_;
}

std::vector<std::int32_t> InstallStatus::InstallWeights() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return installWeights_;
}

std::wstring InstallStatus::Text(EngineText id) const {
    return text_(id);
}

StatusSnapshot InstallStatus::TakeStatusSnapshot() {
    StatusSnapshot snap;
    float phase = 0.0f;  // progress within the current phase
    bool firstSnapshot = false;
    std::uint32_t now = 0, start = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        snap.state = state_;
        float p = 0.0f;
        switch (state_) {
        case kStateDownloading:
            if (!downloadWeights_.empty()) p = 0.5f * OverallPercent(downloadWeights_, itemIndex_, itemPercent_);
            break;
        case kStateInstalling:
            if (!installWeights_.empty()) {
                p = OverallPercent(installWeights_, itemIndex_, itemPercent_);
                if (!downloadWeights_.empty()) p = 0.5f * p + 50.0f;
            }
            break;
        case kStateFinished: p = 100.0f; break;
        default: break;
        }
        snap.overallPercent = p;
        if (state_ == kStateDownloading)
            phase = 2.0f * p;
        else if (state_ == kStateInstalling && !downloadWeights_.empty())
            phase = 2.0f * (p - 50.0f);
        else
            phase = p;
        now = ticks_();
        if (!started_) {
            started_ = true;
            startTick_ = now;
            firstSnapshot = true;
        }
        start = startTick_;
    }

    EngineText statusId = EngineText::StatusInit;
    switch (snap.state) {
    case kStateDownloading: statusId = EngineText::StatusDownloading; break;
    case kStateInstalling: statusId = EngineText::StatusInstalling; break;
    case kStateCancelling: statusId = EngineText::StatusCancelling; break;
    case kStateFinished: statusId = EngineText::StatusFinished; break;
    case kStateFailed: statusId = EngineText::StatusInstallFailed; break;
    case kStateCancelled: statusId = EngineText::StatusCancelled; break;
    default: break;
    }
    snap.statusText = Text(statusId);

    const EngineTextLookup& lookup = text_;
    if (phase <= 0.0f) {
        snap.timeText = Text(EngineText::CalcTimeRemaining);
    } else if (firstSnapshot) {
        snap.timeText = FormatTimeRemaining(1000, lookup);
    } else {
        const std::uint32_t elapsed = now - start;
        const auto total = static_cast<std::uint32_t>(static_cast<float>(elapsed) / (phase / 100.0f));
        // Float rounding can make the estimate fall short of the time already
        // spent; that means "almost done", never a wrapped-around figure.
        const std::uint32_t remaining = total > elapsed ? total - elapsed : 0;
        snap.timeText = FormatTimeRemaining(remaining == 0 ? 1000 : remaining, lookup);
    }
    return snap;
}

}  // namespace ovek
