#include "Automation.h"

#include "Com.h"
#include "RuntimeError.h"
#include "Text.h"

namespace runtime {

namespace {

VARIANT ToVariant(const Variant& value) {
    VARIANT converted;
    com::VariantInit(&converted);
    switch (value.GetKind()) {
    case Variant::Kind::Empty:
        break;
    case Variant::Kind::Missing:
        converted.vt = VT_ERROR;
        converted.scode = DISP_E_PARAMNOTFOUND;
        break;
    case Variant::Kind::Boolean:
        converted.vt = VT_BOOL;
        converted.boolVal = value.ToBool() ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case Variant::Kind::Integer:
        converted.vt = VT_I2;
        converted.iVal = value.ToInteger();
        break;
    case Variant::Kind::Long:
        converted.vt = VT_I4;
        converted.lVal = value.ToLong();
        break;
    case Variant::Kind::Double:
        converted.vt = VT_R8;
        converted.dblVal = value.ToDouble();
        break;
    case Variant::Kind::String: {
        const std::wstring text = Widen(value.ToString());
        converted.vt = VT_BSTR;
        converted.bstrVal = com::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        if (converted.bstrVal == nullptr) {
            Raise(kErrOutOfMemory);
        }
        break;
    }
    }
    return converted;
}

// The arguments of one call, cleared (their strings freed) however the call ends.
class ArgumentList {
public:
    ArgumentList() = default;
    ArgumentList(const ArgumentList&) = delete;
    ArgumentList& operator=(const ArgumentList&) = delete;
    ~ArgumentList() {
        for (VARIANT& argument : arguments_) {
            com::VariantClear(&argument);
        }
    }

    // IDispatch takes the arguments from the last to the first.
    void Fill(const std::vector<Variant>& values) {
        arguments_.reserve(values.size());
        for (auto value = values.rbegin(); value != values.rend(); ++value) {
            arguments_.push_back(ToVariant(*value));
        }
    }

    DISPPARAMS Parameters() noexcept {
        return DISPPARAMS{arguments_.empty() ? nullptr : arguments_.data(), nullptr,
                          static_cast<UINT>(arguments_.size()), 0};
    }

private:
    std::vector<VARIANT> arguments_;
};

// What a component reports through EXCEPINFO: its code and, when it gives one, its text.
struct ComponentFailure {
    HRESULT code;
    std::string description;
};

ComponentFailure TakeException(EXCEPINFO& exception, HRESULT invokeResult) {
    if (exception.pfnDeferredFillIn != nullptr) {
        exception.pfnDeferredFillIn(&exception);
    }
    ComponentFailure failure{invokeResult, {}};
    if (exception.scode != 0) {
        failure.code = exception.scode;
    } else if (exception.wCode != 0) {
        // A component that reports a plain error number instead of a code.
        failure.code = static_cast<HRESULT>(0x800A0000u | exception.wCode);
    }
    if (exception.bstrDescription != nullptr) {
        failure.description =
            Narrow(std::wstring_view(exception.bstrDescription, com::SysStringLen(exception.bstrDescription)));
    }
    com::SysFreeString(exception.bstrSource);
    com::SysFreeString(exception.bstrDescription);
    com::SysFreeString(exception.bstrHelpFile);
    return failure;
}

[[noreturn]] void RaiseFailure(const ComponentFailure& failure) {
    const int32_t number = AutomationErrorNumber(failure.code);
    Raise(number, failure.description.empty() ? ErrorText(number) : failure.description);
}

} // namespace

int32_t AutomationErrorNumber(HRESULT code) noexcept {
    const uint32_t bits = static_cast<uint32_t>(code);
    if ((bits & 0xFFFF0000u) == 0x800A0000u) {
        return static_cast<int32_t>(bits & 0xFFFFu);
    }
    return static_cast<int32_t>(bits);
}

AutomationObject AutomationObject::Create(const std::string& progId) {
    // S_FALSE: the thread has COM already; RPC_E_CHANGED_MODE: in another apartment, which
    // serves as well. Neither is undone: the object lives until the process ends.
    const HRESULT initialized = com::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(initialized) && initialized != RPC_E_CHANGED_MODE) {
        Raise(kErrCannotCreateObject);
    }
    CLSID classId;
    if (FAILED(com::CLSIDFromProgID(Widen(progId).c_str(), &classId))) {
        Raise(kErrCannotCreateObject);
    }
    AutomationObject created;
    if (FAILED(com::CoCreateInstance(classId, nullptr, CLSCTX_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(created.object_.put())))) {
        Raise(kErrCannotCreateObject);
    }
    return created;
}

void AutomationObject::Call(const std::string& member, const std::vector<Variant>& arguments) {
    if (!object_) {
        Raise(kErrObjectNotSet);
    }
    std::wstring name = Widen(member);
    LPOLESTR names[] = {name.data()};
    DISPID id = 0;
    if (FAILED(object_.get()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
        Raise(kErrMemberNotFound);
    }
    ArgumentList list;
    list.Fill(arguments);
    DISPPARAMS parameters = list.Parameters();
    EXCEPINFO exception{};
    VARIANT result;
    com::VariantInit(&result);
    UINT argumentError = 0;
    const HRESULT invoked = object_.get()->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                                                  &result, &exception, &argumentError);
    com::VariantClear(&result);
    if (invoked == DISP_E_EXCEPTION) {
        RaiseFailure(TakeException(exception, invoked));
    }
    if (FAILED(invoked)) {
        RaiseFailure({invoked, {}});
    }
}

} // namespace runtime
