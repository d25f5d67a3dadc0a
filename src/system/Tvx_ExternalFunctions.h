#pragma once

#include "framework/Tvx_Node.h"

#include <windows.h>

#include <cstdint>
#include <string>

// The class has members named CopyFile and DeleteFile; windows.h would rename them to the wide
// functions' names.
#undef CopyFile
#undef DeleteFile

// Single system functions as operations of the object tree: the tick count behind every wait,
// the system's own copy and delete behind the in-use retries, and the clipboard. Each passes its
// arguments on and returns the system function's result; a failure shows only in that result.
class Tvx_ExternalFunctions final : public Tvx_Node {
public:
    const char* TypeName() const noexcept override { return "Tvx_ExternalFunctions"; }

    // Milliseconds since the system started, negative after 2^31 ms; compare two readings with
    // runtime::ElapsedMs, which stays right across the sign change and the wrap.
    int32_t GetTickCount();

    // Window handles fit in 32 bits on 64-bit Windows too; memory handles do not, so those are
    // handed over in full width.
    int32_t OpenClipboard(int32_t HandleWindow);
    intptr_t SetClipboardData(int32_t Format, intptr_t HandleMemory);
    intptr_t GetClipboardData(int32_t Format);
    int32_t EmptyClipboard();
    int32_t CloseClipboard();

    int32_t CopyFile(std::string ASource, std::string ADestination, int32_t ABooleanFailIfExists);
    int32_t DeleteFile(std::string AFileName);
};
