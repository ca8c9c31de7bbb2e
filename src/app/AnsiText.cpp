#include "app/AnsiText.h"

#include <windows.h>

namespace ovek {

std::string ToThreadAnsi(const std::wstring& text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    int size = ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string out(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), length, out.data(), size, nullptr, nullptr);
    return out;
}

}  // namespace ovek
