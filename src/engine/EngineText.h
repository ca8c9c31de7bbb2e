#pragma once
// The interface texts the engine shows, looked up in the chosen language when
// they are needed. Plain C++: the status arithmetic uses it without Win32.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <variant>

#include "i18n/UiStrings.h"

namespace ovek {

enum class EngineText {
    StatusInit,
    StatusDownloading,
    StatusInstalling,
    StatusCancelling,
    StatusFinished,
    StatusInstallFailed,
    StatusCancelled,
    CalcTimeRemaining,
    TimeRemainingHours,
    TimeRemainingMins,
    TimeRemainingSecs,
    CloseRunningApps,
    ErrConnectDownloadServer,
    ErrInstalledAlready,
    ErrInstalledAnotherVersion,
    ErrClientTooOld,
};

using EngineTextLookup = std::function<std::wstring(EngineText)>;

// The string-table entry of a text.
const UiTextEntry& EngineTextEntry(EngineText id);
// The English text compiled into the program.
std::wstring EngineTextDefault(EngineText id);
// The text in the current interface language.
std::wstring LookUpEngineText(EngineText id);

// printf-style formatting of a (possibly translated) text. Only %d with an
// optional zero flag and width, %s and %% are understood; anything else is
// copied as it stands and a placeholder without an argument stays empty, so a
// damaged translation can never read beyond the arguments given.
using TextArg = std::variant<std::int64_t, std::wstring>;
std::wstring FormatText(const std::wstring& format, std::initializer_list<TextArg> args);

}  // namespace ovek
