#pragma once
#include <string>

namespace ovek {
// UTF-16 to the thread's ANSI code page; unconvertible characters become the
// code page's default character.
std::string ToThreadAnsi(const std::wstring& text);
}  // namespace ovek
