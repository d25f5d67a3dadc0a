#pragma once

#include <oaidl.h>

// The few OLE Automation functions the program needs (strings and variants for calls through
// IDispatch), taken from the system's oleaut32.dll when first used.
//
// The program does not import oleaut32.dll: the setup folder holds a file of that name beside the
// program (the add-in's runtime support files), and an import would be looked for in the
// program's own folder first. Wine has no list of known system DLLs to prevent that.
namespace runtime::oleaut {

BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
void VariantInit(VARIANT* value);
HRESULT VariantClear(VARIANT* value);

} // namespace runtime::oleaut
