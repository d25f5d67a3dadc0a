#pragma once

#include "Handle.h"
#include "Variant.h"

#include <ole2.h>

#include <string>
#include <vector>

namespace runtime {

struct DispatchTraits {
    using pointer = IDispatch*;
    static pointer Empty() noexcept { return nullptr; }
    static void Close(pointer object) noexcept { object->Release(); }
};

// A component's object reached by member name through IDispatch, as a script or a late-bound
// program calls it. A failed call raises a run-time error with the component's number: the
// Visual Basic number for a code 0x800A...., the code itself (negative) otherwise; and its text,
// or the German text of that number when the component gives none (Wine's components do not).
class AutomationObject {
public:
    AutomationObject() = default;

    // Creates the object from its programmatic name ("Scripting.FileSystemObject"). COM is set
    // up for the calling thread first, in a single-threaded apartment unless the thread has one
    // already. Raises "ActiveX component can't create object" on failure.
    static AutomationObject Create(const std::string& progId);

    explicit operator bool() const noexcept { return static_cast<bool>(object_); }

    // Calls the method member with the arguments in their order; its result is dropped. Raises
    // "object variable not set" on an empty object.
    void Call(const std::string& member, const std::vector<Variant>& arguments);

    void Release() noexcept { object_.reset(); }

private:
    UniqueHandle<DispatchTraits> object_;
};

// The run-time error number of a failure code: the low word of a Visual Basic code
// (0x800A0035 is 53), any other code as the signed 32-bit number it is.
int32_t AutomationErrorNumber(HRESULT code) noexcept;

} // namespace runtime
