#include "engine/EngineText.h"

#include <vector>

namespace ovek {

const UiTextEntry& EngineTextEntry(EngineText id) {
    switch (id) {
    case EngineText::StatusInit: return IDS_STATUS_INIT;
    case EngineText::StatusDownloading: return IDS_STATUS_DOWNLOADING;
    case EngineText::StatusInstalling: return IDS_STATUS_INSTALLING;
    case EngineText::StatusCancelling: return IDS_STATUS_CANCELLING;
    case EngineText::StatusFinished: return IDS_STATUS_FINISHED;
    case EngineText::StatusInstallFailed: return IDS_STATUS_INSTALL_FAILED;
    case EngineText::StatusCancelled: return IDS_STATUS_CANCELLED;
    case EngineText::CalcTimeRemaining: return IDS_CALC_TIME_REMAINING;
    case EngineText::TimeRemainingHours: return IDS_TIME_REMAINING_HOURS;
    case EngineText::TimeRemainingMins: return IDS_TIME_REMAINING_MINS;
    case EngineText::TimeRemainingSecs: return IDS_TIME_REMAINING_SECS;
    case EngineText::CloseRunningApps: return IDS_CLOSE_RUNNING_APPS;
    case EngineText::ErrConnectDownloadServer: return IDS_ERR_CONNECT_DOWNLOAD_SERVER;
    case EngineText::ErrInstalledAlready: return IDS_ERR_INSTALLED_ALREADY;
    case EngineText::ErrInstalledAnotherVersion: return IDS_ERR_INSTALLED_ANOTHER_VERSION;
    case EngineText::ErrClientTooOld: return IDS_ERR_CLIENT_TOO_OLD;
    }
    return IDS_STATUS_INIT;
}

std::wstring EngineTextDefault(EngineText id) {
    return EngineTextEntry(id).text;
}

std::wstring FormatText(const std::wstring& format, std::initializer_list<TextArg> args) {
    const std::vector<TextArg> list(args);
    std::size_t next = 0;
    std::wstring out;
    out.reserve(format.size() + 16);
    for (std::size_t i = 0; i < format.size(); ++i) {
        const wchar_t c = format[i];
        if (c != L'%' || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        if (format[i + 1] == L'%') {
            out += L'%';
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        bool zero = false;
        if (format[j] == L'0') {
            zero = true;
            ++j;
        }
        std::size_t width = 0;
        while (j < format.size() && format[j] >= L'0' && format[j] <= L'9' && width < 64)
            width = width * 10 + static_cast<std::size_t>(format[j++] - L'0');
        if (j < format.size() && format[j] == L'l') ++j;
        if (j >= format.size() || (format[j] != L'd' && format[j] != L's')) {
            out += c;  // not a placeholder we know: keep the text literally
            continue;
        }
        std::wstring piece;
        const TextArg* arg = next < list.size() ? &list[next] : nullptr;
        ++next;
        if (!arg) {
            // no argument: the placeholder stays empty
        } else if (format[j] == L'd') {
            std::int64_t n = 0;
            if (std::holds_alternative<std::int64_t>(*arg)) n = std::get<std::int64_t>(*arg);
            const bool negative = n < 0;
            std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
            do {
                piece.insert(piece.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
                magnitude /= 10;
            } while (magnitude);
            const std::size_t used = piece.size() + (negative ? 1 : 0);
            if (width > used) piece.insert(piece.begin(), width - used, zero ? L'0' : L' ');
            if (negative) piece.insert(zero ? piece.begin() : piece.begin() + piece.find_first_not_of(L' '), L'-');
        } else {
            if (std::holds_alternative<std::wstring>(*arg)) piece = std::get<std::wstring>(*arg);
            if (width > piece.size()) piece.insert(piece.begin(), width - piece.size(), L' ');
        }
        out += piece;
        i = j;
    }
    return out;
}

}  // namespace ovek
