#pragma once
// Writes a transform that changes nothing: a structured-storage file of the
// transform class holding an empty string pool, which Windows Installer
// applies without complaint. Stands in for a language transform in tests.
#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <string>

#include "framework/Handles.h"

namespace ovek::enginetest {

// Stream names of a package's tables, packed the way Windows Installer
// stores them: two name characters per storage character, marked as a table.
inline std::wstring PackedTableName(const std::wstring& name) {
    auto code = [](wchar_t c) -> int {
        if (c >= L'0' && c <= L'9') return c - L'0';
        if (c >= L'A' && c <= L'Z') return c - L'A' + 10;
        if (c >= L'a' && c <= L'z') return c - L'a' + 36;
        if (c == L'.') return 62;
        if (c == L'_') return 63;
        return -1;
    };
    std::wstring out(1, static_cast<wchar_t>(0x4840));
    for (std::size_t i = 0; i < name.size(); ++i) {
        const int first = code(name[i]);
        if (first < 0) {
            out += name[i];
            continue;
        }
        const int second = i + 1 < name.size() ? code(name[i + 1]) : -1;
        if (second >= 0) {
            out += static_cast<wchar_t>(0x3800 + first + (second << 6));
            ++i;
        } else {
            out += static_cast<wchar_t>(0x4800 + first);
        }
    }
    return out;
}

inline bool WriteEmptyTransform(const std::wstring& path) {
    // {000C1082-0000-0000-C000-000000000046}: the transform storage class.
    static const CLSID kTransformClass = {0x000C1082, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    ComPtr<IStorage> storage;
    if (FAILED(::StgCreateDocfile(path.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DIRECT, 0,
                                  storage.put())))
        return false;
    if (FAILED(storage->SetClass(kTransformClass))) return false;
    // The string pool: its first entry holds the code page; no strings.
    const std::uint16_t pool[2] = {1252, 0};
    ComPtr<IStream> stream;
    ULONG written = 0;
    if (FAILED(storage->CreateStream(PackedTableName(L"_StringPool").c_str(),
                                     STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, stream.put())) ||
        FAILED(stream->Write(pool, sizeof(pool), &written)))
        return false;
    if (FAILED(storage->CreateStream(PackedTableName(L"_StringData").c_str(),
                                     STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, stream.put())))
        return false;
    return SUCCEEDED(storage->Commit(STGC_DEFAULT));
}

}  // namespace ovek::enginetest
