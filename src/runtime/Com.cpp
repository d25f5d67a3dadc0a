#include "Com.h"

#include "RuntimeError.h"

#include <windows.h>

namespace runtime::com {

namespace {

// Loaded from the system folder alone, whatever lies beside the program.
HMODULE Library(const wchar_t* name) {
    HMODULE library = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library == nullptr) {
        Raise(kErrCannotCreateObject);
    }
    return library;
}

HMODULE Ole32() {
    static const HMODULE library = Library(L"ole32.dll");
    return library;
}

HMODULE OleAut32() {
    static const HMODULE library = Library(L"oleaut32.dll");
    return library;
}

template <class Function>
Function Entry(HMODULE library, const char* name) {
    FARPROC address = GetProcAddress(library, name);
    if (address == nullptr) {
        Raise(kErrCannotCreateObject);
    }
    return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

} // namespace

HRESULT CoInitializeEx(void* reserved, DWORD model) {
    static const auto function = Entry<HRESULT(WINAPI*)(void*, DWORD)>(Ole32(), "CoInitializeEx");
    return function(reserved, model);
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* classId) {
    static const auto function = Entry<HRESULT(WINAPI*)(LPCOLESTR, CLSID*)>(Ole32(), "CLSIDFromProgID");
    return function(progId, classId);
}

HRESULT CoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD context, REFIID interfaceId, void** object) {
    static const auto function =
        Entry<HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**)>(Ole32(), "CoCreateInstance");
    return function(classId, outer, context, interfaceId, object);
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
    static const auto function = Entry<BSTR(WINAPI*)(const OLECHAR*, UINT)>(OleAut32(), "SysAllocStringLen");
    return function(text, length);
}

void SysFreeString(BSTR text) {
    if (text == nullptr) {
        return;
    }
    static const auto function = Entry<void(WINAPI*)(BSTR)>(OleAut32(), "SysFreeString");
    function(text);
}

UINT SysStringLen(BSTR text) {
    static const auto function = Entry<UINT(WINAPI*)(BSTR)>(OleAut32(), "SysStringLen");
    return function(text);
}

void VariantInit(VARIANT* value) { value->vt = VT_EMPTY; }

HRESULT VariantClear(VARIANT* value) {
    static const auto function = Entry<HRESULT(WINAPI*)(VARIANT*)>(OleAut32(), "VariantClear");
    return function(value);
}

} // namespace runtime::com
