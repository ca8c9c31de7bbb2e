#include "framework/MessageBox.h"

#include <mutex>
#include <utility>

namespace ovek {
namespace {
std::mutex& HandlerMutex() {
    static std::mutex m;
    return m;
}
MessageBoxHandler& Handler() {
    static MessageBoxHandler h;
    return h;
}
}  // namespace

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) {
    MessageBoxHandler handler;
    {
        std::lock_guard<std::mutex> lock(HandlerMutex());
        handler = Handler();
    }
    if (handler) return handler(MessageBoxRequest{owner, text, caption, flags});
    return ::MessageBoxW(owner, text.c_str(), caption.empty() ? nullptr : caption.c_str(), flags);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    std::lock_guard<std::mutex> lock(HandlerMutex());
    return std::exchange(Handler(), std::move(handler));
}

}  // namespace ovek
