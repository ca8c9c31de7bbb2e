#pragma once
// Owning wrappers for Win32 handles: each closes its handle exactly once.
#include <windows.h>
#include <wininet.h>
#include <utility>

namespace ovek {

template <typename Traits>
class ScopedHandle {
public:
    using Type = typename Traits::Type;

    ScopedHandle() noexcept = default;
    explicit ScopedHandle(Type h) noexcept : handle_(h) {}
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~ScopedHandle() { reset(); }

    Type get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return Traits::IsValid(handle_); }
    Type release() noexcept { return std::exchange(handle_, Traits::Empty()); }
    void reset(Type h = Traits::Empty()) noexcept {
        if (Traits::IsValid(handle_)) Traits::Close(handle_);
        handle_ = h;
    }

private:
    Type handle_ = Traits::Empty();
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};
using UniqueHandle = ScopedHandle<KernelHandleTraits>;

struct RegistryKeyTraits {
    using Type = HKEY;
    static Type Empty() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ::RegCloseKey(h); }
};
using UniqueHKey = ScopedHandle<RegistryKeyTraits>;

// Internet session, connection and request handles.
struct InternetHandleTraits {
    using Type = HINTERNET;
    static Type Empty() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ::InternetCloseHandle(h); }
};
using UniqueHInternet = ScopedHandle<InternetHandleTraits>;

struct FindFileTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::FindClose(h); }
};
using UniqueFindHandle = ScopedHandle<FindFileTraits>;

struct ModuleTraits {
    using Type = HMODULE;
    static Type Empty() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ::FreeLibrary(h); }
};
using UniqueModule = ScopedHandle<ModuleTraits>;

struct GlobalMemoryTraits {
    using Type = HGLOBAL;
    static Type Empty() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ::GlobalFree(h); }
};
using UniqueGlobal = ScopedHandle<GlobalMemoryTraits>;

template <typename T>
struct GdiObjectTraits {
    using Type = T;
    static Type Empty() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ::DeleteObject(h); }
};
using UniqueFont = ScopedHandle<GdiObjectTraits<HFONT>>;
using UniqueBitmap = ScopedHandle<GdiObjectTraits<HBITMAP>>;
using UniqueBrush = ScopedHandle<GdiObjectTraits<HBRUSH>>;
using UniquePen = ScopedHandle<GdiObjectTraits<HPEN>>;
using UniqueRegion = ScopedHandle<GdiObjectTraits<HRGN>>;

// COM interface pointer: releases its reference when it goes.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(const ComPtr& o) noexcept : p_(o.p_) { if (p_) p_->AddRef(); }
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept { std::swap(p_, o.p_); return *this; }
    ~ComPtr() { if (p_) p_->Release(); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    // Address for an out-parameter; drops what was held.
    T** put() noexcept { reset(); return &p_; }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    void reset() noexcept { if (p_) { p_->Release(); p_ = nullptr; } }

private:
    T* p_ = nullptr;
};

}  // namespace ovek
