#include "OleAut.h"

#include "RuntimeError.h"

#include <windows.h>

namespace runtime::oleaut {

namespace {

// Loaded from the system folder alone, whatever lies beside the program.
HMODULE Library() {
    static HMODULE library = LoadLibraryExW(L"oleaut32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library == nullptr) {
        Raise(kErrCannotCreateObject);
    }
    return library;
}

template <class Function> Function Entry(const char* name) {
    FARPROC address = GetProcAddress(Library(), name);
    if (address == nullptr) {
        Raise(kErrCannotCreateObject);
    }
    return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

} // namespace

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
    static const auto function = Entry<BSTR(WINAPI*)(const OLECHAR*, UINT)>("SysAllocStringLen");
    return function(text, length);
}

void SysFreeString(BSTR text) {
    if (text == nullptr) {
        return;
    }
    static const auto function = Entry<void(WINAPI*)(BSTR)>("SysFreeString");
    function(text);
}

UINT SysStringLen(BSTR text) {
    static const auto function = Entry<UINT(WINAPI*)(BSTR)>("SysStringLen");
    return function(text);
}

void VariantInit(VARIANT* value) {
    value->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* value) {
    static const auto function = Entry<HRESULT(WINAPI*)(VARIANT*)>("VariantClear");
    return function(value);
}

} // namespace runtime::oleaut
