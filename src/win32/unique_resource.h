// One move-only owner for every Win32 resource, so that every path releases.
// A deleter says which values are valid and how to release one.
#pragma once

#include <windows.h>

#include <utility>

template <typename Handle, typename Deleter>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(Handle handle, Deleter deleter = Deleter{})
        : handle_(handle), deleter_(std::move(deleter))
    {}
    ~UniqueResource() { reset(); }

    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept
        : handle_(other.release()), deleter_(std::move(other.deleter_))
    {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other) {
            reset(other.release());
            deleter_ = std::move(other.deleter_);
        }
        return *this;
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return Deleter::IsValid(handle_); }

    Handle release() { return std::exchange(handle_, Deleter::Invalid()); }

    void reset(Handle handle = Deleter::Invalid())
    {
        Handle old = std::exchange(handle_, handle);
        if (Deleter::IsValid(old)) {
            deleter_(old);
        }
    }

    // For out-parameters: releases what is held and hands out the slot.
    Handle* put()
    {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = Deleter::Invalid();
    Deleter deleter_{};
};

// A deleter for handles whose only invalid value is null.
template <typename Handle, auto Release>
struct NullInvalidDeleter {
    static constexpr Handle Invalid() { return Handle{}; }
    static bool IsValid(Handle handle) { return handle != Handle{}; }
    void operator()(Handle handle) const { Release(handle); }
};

struct KernelHandleDeleter {
    static HANDLE Invalid() { return nullptr; }
    static bool IsValid(HANDLE handle)
    {
        return handle != nullptr && handle != INVALID_HANDLE_VALUE;
    }
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};

struct HeapBlockDeleter {
    static constexpr void* Invalid() { return nullptr; }
    static bool IsValid(void* block) { return block != nullptr; }
    void operator()(void* block) const { HeapFree(GetProcessHeap(), 0, block); }
};

using UniqueKey = UniqueResource<HKEY, NullInvalidDeleter<HKEY, &RegCloseKey>>;
using UniqueLibrary = UniqueResource<HMODULE, NullInvalidDeleter<HMODULE, &FreeLibrary>>;
using UniqueMenu = UniqueResource<HMENU, NullInvalidDeleter<HMENU, &DestroyMenu>>;
using UniqueHandle = UniqueResource<HANDLE, KernelHandleDeleter>;
using HeapBlock = UniqueResource<void*, HeapBlockDeleter>;

// A heap block of `size` bytes, zero-filled; empty when the heap refuses.
inline HeapBlock AllocateHeapBlock(SIZE_T size)
{
    return HeapBlock(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size));
}
