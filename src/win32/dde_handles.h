// Owners for the handles of the DDE management library. String, conversation
// and data handles are released through the instance that made them, so their
// deleters carry it.
#pragma once

#include <windows.h>
#include <ddeml.h>

#include "win32/unique_resource.h"

struct DdeInstanceDeleter {
    static constexpr DWORD Invalid() { return 0; }
    static bool IsValid(DWORD instance) { return instance != 0; }
    void operator()(DWORD instance) const { DdeUninitialize(instance); }
};

struct DdeStringDeleter {
    DWORD instance = 0;
    static HSZ Invalid() { return nullptr; }
    static bool IsValid(HSZ name) { return name != nullptr; }
    void operator()(HSZ name) const { DdeFreeStringHandle(instance, name); }
};

struct DdeConversationDeleter {
    static HCONV Invalid() { return nullptr; }
    static bool IsValid(HCONV conversation) { return conversation != nullptr; }
    void operator()(HCONV conversation) const { DdeDisconnect(conversation); }
};

struct DdeDataDeleter {
    static HDDEDATA Invalid() { return nullptr; }
    static bool IsValid(HDDEDATA data) { return data != nullptr; }
    void operator()(HDDEDATA data) const { DdeFreeDataHandle(data); }
};

using UniqueDdeInstance = UniqueResource<DWORD, DdeInstanceDeleter>;
using UniqueDdeString = UniqueResource<HSZ, DdeStringDeleter>;
using UniqueDdeConversation = UniqueResource<HCONV, DdeConversationDeleter>;
using UniqueDdeData = UniqueResource<HDDEDATA, DdeDataDeleter>;

// A string handle of `instance` in the default code page; empty on failure.
inline UniqueDdeString MakeDdeString(DWORD instance, const char* text)
{
    return UniqueDdeString(DdeCreateStringHandleA(instance, text, CP_WINANSI),
                           DdeStringDeleter{instance});
}
