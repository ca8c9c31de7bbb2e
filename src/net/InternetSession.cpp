#include "net/InternetSession.h"

#include "framework/Handles.h"

namespace ovek {
namespace {

// Function-local statics: the validator opens the session from a static
// constructor, before any namespace-scope object here could be ready.
struct SessionState {
    std::mutex guard;
    UniqueHInternet handle;
};

SessionState& State() {
    static SessionState state;
    return state;
}

}  // namespace

void EnsureInternetSession() {
    SessionState& state = State();
    std::lock_guard<std::mutex> hold(state.guard);
    if (!state.handle)
        state.handle.reset(::InternetOpenW(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
}

void CloseInternetSession() {
    SessionState& state = State();
    std::lock_guard<std::mutex> hold(state.guard);
    state.handle.reset();
}

HINTERNET InternetSession() {
    SessionState& state = State();
    std::lock_guard<std::mutex> hold(state.guard);
    return state.handle.get();
}

std::mutex& TransferLock() {
    static std::mutex lock;
    return lock;
}

}  // namespace ovek
