#include "support/TestSupport.h"

#include <shellapi.h>

#include <vector>

namespace ovek::test {

std::wstring WindowsPath(const std::string& unixPath) {
    std::wstring out = L"Z:";
    for (char c : unixPath) out += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return out;
}

std::wstring SourcePath(const std::wstring& relative) {
    return WindowsPath(OVEK_SOURCE_DIR) + L"\\" + relative;
}

std::wstring BuildPath(const std::wstring& relative) {
    return WindowsPath(OVEK_BINARY_DIR) + L"\\" + relative;
}

std::wstring MakeTempFolder(const std::wstring& name) {
    std::wstring root = BuildPath(L"test-output");
    ::CreateDirectoryW(root.c_str(), nullptr);
    std::wstring folder = root + L"\\" + name;
    // Start empty: remove what an earlier run left.
    std::wstring from = folder + L'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    if (::GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES) ::SHFileOperationW(&op);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::optional<ChildProcess> ChildProcess::Start(const std::wstring& commandLine) {
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return std::nullopt;
    ::CloseHandle(pi.hThread);
    ChildProcess child;
    child.process_.reset(pi.hProcess);
    child.id_ = pi.dwProcessId;
    return child;
}

std::optional<DWORD> ChildProcess::Wait(DWORD timeoutMs) {
    if (::WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

void ChildProcess::Kill() {
    if (process_) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

std::optional<DWORD> RunProcess(const std::wstring& commandLine, DWORD timeoutMs) {
    auto child = ChildProcess::Start(commandLine);
    if (!child) return std::nullopt;
    auto code = child->Wait(timeoutMs);
    if (!code) child->Kill();
    return code;
}

}  // namespace ovek::test
