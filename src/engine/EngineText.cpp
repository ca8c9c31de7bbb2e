#include "engine/EngineText.h"

#include <vector>

namespace ovek {

std::wstring EngineTextDefault(EngineText id) {
    switch (id) {
    case EngineText::StatusInit: return L"Initializing...";
    case EngineText::StatusDownloading: return L"Downloading, please wait...";
    case EngineText::StatusInstalling: return L"Installing, please wait...";
    case EngineText::StatusCancelling: return L"Cancelling...";
    case EngineText::StatusFinished: return L"Finished.";
    case EngineText::StatusInstallFailed: return L"Install failed.";
    case EngineText::StatusCancelled: return L"Cancelled.";
    case EngineText::CalcTimeRemaining: return L"Calculating time remaining...";
    case EngineText::TimeRemainingHours: return L"%02d hours %02d mins %02d secs remaining...";
    case EngineText::TimeRemainingMins: return L"%02d mins %02d secs remaining...";
    case EngineText::TimeRemainingSecs: return L"%02d secs remaining...";
    case EngineText::CloseRunningApps:
        return L"The following applications should be closed before continuing the installation:";
    case EngineText::ErrConnectDownloadServer:
        return L"Unable to contact the download server. Check your Internet connection and try again. "
               L"If the issue persists, please contact Customer Care.";
    case EngineText::ErrInstalledAlready: return L"%s is already installed. Would you like to launch it?";
    case EngineText::ErrInstalledAnotherVersion:
        return L"Another version of this product is already installed. Installation of this version cannot "
               L"continue. To configure or remove the existing version of this product, use Add/Remove "
               L"Programs on the Control Panel.";
    case EngineText::ErrClientTooOld:
        return L"The version of your client is too old, please click \"OK\" to download the latest client.";
    }
    return std::wstring();
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
