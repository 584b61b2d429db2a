#include "platform/RegexComponent.h"

#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <atomic>
#include <utility>

namespace jestlark {
namespace {

std::atomic<bool> componentUnavailable{false};

// One counted COM reference.
template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef& other) : pointer_(other.pointer_) {
        if (pointer_) pointer_->AddRef();
    }
    ComRef(ComRef&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComRef& operator=(ComRef other) noexcept {
        std::swap(pointer_, other.pointer_);
        return *this;
    }
    ~ComRef() {
        if (pointer_) pointer_->Release();
    }
    // Takes over a reference that a COM call has already added.
    static ComRef Adopt(Interface* pointer) {
        ComRef ref;
        ref.pointer_ = pointer;
        return ref;
    }
    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // For COM calls that hand out a new reference.
    void** OutAsVoid() {
        *this = ComRef();
        return reinterpret_cast<void**>(&pointer_);
    }

private:
    Interface* pointer_ = nullptr;
};

class OwnedVariant {
public:
    OwnedVariant() { VariantInit(&value); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;
    ~OwnedVariant() { VariantClear(&value); }
    VARIANT value;
};

class OwnedBstr {
public:
    explicit OwnedBstr(const std::wstring& text) : bstr_(SysAllocStringLen(text.data(), UINT(text.size()))) {}
    OwnedBstr(const OwnedBstr&) = delete;
    OwnedBstr& operator=(const OwnedBstr&) = delete;
    ~OwnedBstr() { SysFreeString(bstr_); }
    // Hands the string to a VARIANT, which frees it from then on.
    BSTR Release() { return std::exchange(bstr_, nullptr); }

private:
    BSTR bstr_;
};

std::wstring ToWide(std::string_view text) {
    if (text.empty()) return {};
    const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(std::size_t(units > 0 ? units : 0), L'\0');
    if (units > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), units);
    return wide;
}

std::string FromWide(const wchar_t* wide, UINT length) {
    if (length == 0) return {};
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, int(length), nullptr, 0, nullptr, nullptr);
    std::string text(std::size_t(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, wide, int(length), text.data(), bytes, nullptr, nullptr);
    return text;
}

// Fills a VARIANT that the DISPPARAMS array owns.
void PutArgument(VARIANT& target, const AutomationArgument& argument) {
    if (const bool* flag = std::get_if<bool>(&argument)) {
        target.vt = VT_BOOL;
        target.boolVal = *flag ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (const int32_t* integer = std::get_if<int32_t>(&argument)) {
        target.vt = VT_I4;
        target.lVal = *integer;
    } else if (const double* number = std::get_if<double>(&argument)) {
        target.vt = VT_R8;
        target.dblVal = *number;
    } else {
        target.vt = VT_BSTR;
        target.bstrVal = OwnedBstr(ToWide(std::get<std::string_view>(argument))).Release();
    }
}

AutomationResult ReadResult(VARIANT& value, ReadAs readAs);

class DispatchObject final : public AutomationObject {
public:
    explicit DispatchObject(ComRef<IUnknown> unknown) : unknown_(std::move(unknown)) {}

    AutomationResult Invoke(std::string_view member, MemberKind kind, const std::vector<AutomationArgument>& arguments,
                            ReadAs readAs) override {
        ComRef<IDispatch> dispatch;
        if (FAILED(unknown_->QueryInterface(IID_IDispatch, dispatch.OutAsVoid())) || !dispatch) return {};
        const LCID locale = GetUserDefaultLCID();
        std::wstring name = ToWide(member);
        LPOLESTR names[] = {name.data()};
        DISPID id = DISPID_UNKNOWN;
        if (FAILED(dispatch->GetIDsOfNames(IID_NULL, names, 1, locale, &id))) return {};

        // DISPPARAMS takes the arguments last to first.
        std::vector<OwnedVariant> values(arguments.size());
        std::vector<VARIANT> slots(arguments.size());
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            PutArgument(values[arguments.size() - 1 - i].value, arguments[i]);
            slots[arguments.size() - 1 - i] = values[arguments.size() - 1 - i].value;
        }
        DISPID putId = DISPID_PROPERTYPUT;
        DISPPARAMS parameters{slots.data(), nullptr, UINT(slots.size()), 0};
        WORD first = DISPATCH_PROPERTYGET, second = DISPATCH_METHOD;
        if (kind == MemberKind::Call) std::swap(first, second);
        if (kind == MemberKind::Put) {
            first = DISPATCH_PROPERTYPUT;
            second = DISPATCH_PROPERTYPUTREF;
            parameters.rgdispidNamedArgs = &putId;
            parameters.cNamedArgs = 1;
        }
        OwnedVariant result;
        HRESULT hr = dispatch->Invoke(id, IID_NULL, locale, first, &parameters, &result.value, nullptr, nullptr);
        if (FAILED(hr)) {
            VariantClear(&result.value);
            hr = dispatch->Invoke(id, IID_NULL, locale, second, &parameters, &result.value, nullptr, nullptr);
        }
        if (FAILED(hr)) return {};
        return ReadResult(result.value, readAs);
    }

private:
    ComRef<IUnknown> unknown_;
};

AutomationResult ReadResult(VARIANT& value, ReadAs readAs) {
    AutomationResult read;
    switch (readAs) {
    case ReadAs::Nothing:
        read.ok = true;
        break;
    case ReadAs::Text: {
        OwnedVariant text;
        if (SUCCEEDED(VariantChangeType(&text.value, &value, 0, VT_BSTR))) {
            read.ok = true;
            read.text = FromWide(text.value.bstrVal, SysStringLen(text.value.bstrVal));
        }
        break;
    }
    case ReadAs::Number: {
        OwnedVariant number;
        if (SUCCEEDED(VariantChangeType(&number.value, &value, 0, VT_R8))) {
            read.ok = true;
            read.number = number.value.dblVal;
        }
        break;
    }
    case ReadAs::Object: {
        IUnknown* object = nullptr;
        if (value.vt == VT_DISPATCH) object = value.pdispVal;
        if (value.vt == VT_UNKNOWN) object = value.punkVal;
        if (object) {
            object->AddRef();
            read.ok = true;
            read.object = std::make_shared<DispatchObject>(ComRef<IUnknown>::Adopt(object));
        }
        break;
    }
    }
    return read;
}

}  // namespace

ObjectRef CreateRegexComponent() {
    if (componentUnavailable) return {};
    CLSID classId;
    if (FAILED(CLSIDFromProgID(L"VBScript.RegExp", &classId))) return {};
    ComRef<IUnknown> instance;
    HRESULT hr = CoCreateInstance(classId, nullptr, CLSCTX_ALL, IID_IUnknown, instance.OutAsVoid());
    if (hr == E_INVALIDARG)
        hr = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                              IID_IUnknown, instance.OutAsVoid());
    if (FAILED(hr) || !instance) return {};
    if (FAILED(OleRun(instance.get()))) return {};
    return std::make_shared<DispatchObject>(std::move(instance));
}

void SetRegexComponentUnavailableForTest(bool unavailable) { componentUnavailable = unavailable; }

}  // namespace jestlark
