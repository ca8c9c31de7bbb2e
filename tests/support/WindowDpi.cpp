#include "support/WindowDpi.h"

#include <mutex>
#include <vector>

#include "framework/Handles.h"

namespace ovek::test {

namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kLogPixels[] = L"LogPixels";

UniqueHKey OpenDesktopKey() {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                          nullptr, &key, nullptr) != ERROR_SUCCESS)
        return UniqueHKey();
    return UniqueHKey(key);
}

}  // namespace

ScopedLogPixels::ScopedLogPixels(DWORD dpi) {
    UniqueHKey key = OpenDesktopKey();
    if (!key) return;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), kLogPixels, nullptr, &oldType_, nullptr, &size) == ERROR_SUCCESS) {
        oldData_.resize(size);
        hadValue_ = ::RegQueryValueExW(key.get(), kLogPixels, nullptr, &oldType_,
                                       reinterpret_cast<BYTE*>(oldData_.data()), &size) == ERROR_SUCCESS;
        oldData_.resize(size);
    }
    applied_ = ::RegSetValueExW(key.get(), kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                                sizeof dpi) == ERROR_SUCCESS;
}

ScopedLogPixels::~ScopedLogPixels() {
    if (!applied_) return;
    UniqueHKey key = OpenDesktopKey();
    if (!key) return;
    if (hadValue_)
        ::RegSetValueExW(key.get(), kLogPixels, 0, oldType_, reinterpret_cast<const BYTE*>(oldData_.data()),
                         static_cast<DWORD>(oldData_.size()));
    else
        ::RegDeleteValueW(key.get(), kLogPixels);
}

ProcessResult RunCaptured(const std::wstring& commandLine, DWORD timeoutMs) {
    ProcessResult result;
    wchar_t folder[MAX_PATH + 1] = {};
    wchar_t path[MAX_PATH + 1] = {};
    if (!::GetTempPathW(MAX_PATH, folder) || !::GetTempFileNameW(folder, L"out", 0, path)) return result;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    UniqueHandle output(::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE |
                                      FILE_SHARE_DELETE, &inherit, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!output) {
        ::DeleteFileW(path);
        return result;
    }
    UniqueHandle input(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                     OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = input.get();
    si.hStdOutput = output.get();
    si.hStdError = output.get();
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
        return result;
    UniqueHandle process(pi.hProcess), thread(pi.hThread);
    if (::WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0) {
        DWORD code = 0;
        if (::GetExitCodeProcess(process.get(), &code)) result.exitCode = code;
    } else {
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), 5000);
    }
    LARGE_INTEGER size{};
    ::GetFileSizeEx(output.get(), &size);
    result.output.resize(static_cast<size_t>(size.QuadPart));
    ::SetFilePointer(output.get(), 0, nullptr, FILE_BEGIN);
    DWORD read = 0;
    if (!result.output.empty() &&
        !::ReadFile(output.get(), result.output.data(), static_cast<DWORD>(result.output.size()), &read, nullptr))
        read = 0;
    result.output.resize(read);
    return result;
}

ProcessResult RunAtDpi(DWORD dpi, const std::wstring& commandLine, DWORD timeoutMs) {
    // One change of the value at a time, in this program and in any other
    // test program that uses this.
    static std::mutex inProcess;
    std::lock_guard lock(inProcess);
    UniqueHandle acrossProcesses(::CreateMutexW(nullptr, FALSE, L"OvekTestLogPixels"));
    DWORD waited = acrossProcesses ? ::WaitForSingleObject(acrossProcesses.get(), timeoutMs) : WAIT_FAILED;
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return {};
    ProcessResult result;
    {
        ScopedLogPixels resolution(dpi);
        if (resolution.Applied()) result = RunCaptured(commandLine, timeoutMs);
    }
    ::ReleaseMutex(acrossProcesses.get());
    return result;
}

}  // namespace ovek::test
