#pragma once

#include <objbase.h>
#include <oaidl.h>

// The few COM and OLE Automation functions the program needs (the file-system object, created by
// name and called through IDispatch), taken from the system's DLLs when first used.
//
// The program imports neither ole32.dll nor oleaut32.dll. The setup folder holds a file named
// OLEAUT32.DLL beside the program (one of the add-in's runtime support files), and an import is
// looked for in the program's own folder first; Wine has no list of known system DLLs to prevent
// that. And COM costs Wine more time than the wizard's whole set-up, so it comes into the process
// only with the first file operation, not with the program's start.
namespace runtime::com {

HRESULT CoInitializeEx(void* reserved, DWORD model);
HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* classId);
HRESULT CoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD context, REFIID interfaceId, void** object);

BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
void VariantInit(VARIANT* value);
HRESULT VariantClear(VARIANT* value);

} // namespace runtime::com
