#pragma once
// The one internet session of the process and the lock that lets buffered
// download blocks reach the disk one at a time.
#include <windows.h>
#include <wininet.h>
#include <mutex>

namespace ovek {

inline constexpr wchar_t kUserAgent[] = L"Tesmo Web Installer Client";

// Opens the session (system proxy settings) when it is not open; a failed
// open leaves it empty, and every connection then fails.
void EnsureInternetSession();
// Closes the session; a later EnsureInternetSession opens it again.
void CloseInternetSession();
// The session handle, or null.
HINTERNET InternetSession();

// Held only around the seek, write and flush of one buffered block.
std::mutex& TransferLock();

}  // namespace ovek
