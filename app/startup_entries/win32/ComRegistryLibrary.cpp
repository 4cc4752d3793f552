#include "startup_entries/win32/ComRegistryLibrary.h"

#include "win32common/Result.h"
#include "win32common/Text.h"

#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>

#include "WindowsRegistry.h"
#include "win32common/Bstr.h"
#include "win32common/ComPtr.h"
#include "win32common/Variant.h"
#include "win32common/SafeArray.h"

#include <array>

namespace tidewell::win32 {

namespace {

constexpr ULONG kEnumerationBatch = 64;

// The description of the error information the failing call left, or the system's text for the
// HRESULT when it left none.
std::string DescriptionOf(HRESULT hr) {
    win32common::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) == S_OK && info) {
        win32common::Bstr description;
        if (SUCCEEDED(info->GetDescription(&description)) && description.Length() != 0) {
            return win32common::WideToUtf8(description.View());
        }
    }
    const std::wstring message = win32common::SystemMessageText(hr);
    std::wstring_view view(message);
    while (!view.empty() && (view.back() == L'\n' || view.back() == L'\r')) {
        view.remove_suffix(1);
    }
    return win32common::WideToUtf8(view);
}

[[noreturn]] void Throw(HRESULT hr) {
    throw RegistryLibraryError(static_cast<std::uint32_t>(hr), DescriptionOf(hr));
}

// Runs one call of the library; a failure leaves as RegistryLibraryError. Error information left
// over from an earlier call is dropped first, so a bare HRESULT never borrows another's text.
template <typename Call> HRESULT Checked(Call&& call) {
    SetErrorInfo(0, nullptr);
    const HRESULT hr = call();
    if (FAILED(hr)) {
        Throw(hr);
    }
    return hr;
}

// As Checked, but a missing key or value is an answer (false), not an error.
template <typename Call> bool Found(Call&& call) {
    SetErrorInfo(0, nullptr);
    const HRESULT hr = call();
    if (hr == static_cast<HRESULT>(kNotFoundResult)) {
        SetErrorInfo(0, nullptr);
        return false;
    }
    if (FAILED(hr)) {
        Throw(hr);
    }
    return true;
}

win32common::Bstr ToBstr(std::string_view text) {
    const std::wstring wide = win32common::Utf8ToWide(text);
    // Text that does not convert must never become "" (the key's default value).
    if (wide.empty() && !text.empty()) {
        Throw(E_INVALIDARG);
    }
    win32common::Bstr bstr(wide);
    if (!bstr.Get()) {
        Throw(E_OUTOFMEMORY);
    }
    return bstr;
}

// The elements of a one-dimensional array of variants, as bytes or as strings.
bool ArrayElements(SAFEARRAY* array, std::vector<std::uint8_t>* bytes,
                   std::vector<std::string>* strings) {
    if (array == nullptr || SafeArrayGetDim(array) != 1) {
        return false;
    }
    LONG lower = 0;
    LONG upper = -1;
    if (FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
        FAILED(SafeArrayGetUBound(array, 1, &upper))) {
        return false;
    }
    win32common::SafeArrayDataLock lock(array);
    if (FAILED(lock.Result())) {
        return false;
    }
    const auto* elements = static_cast<const VARIANT*>(lock.Data());
    for (LONG i = 0; i <= upper - lower; ++i) {
        const VARIANT& element = elements[i];
        if (bytes && V_VT(&element) == VT_UI1) {
            bytes->push_back(V_UI1(&element));
        } else if (strings && V_VT(&element) == VT_BSTR) {
            strings->push_back(win32common::WideToUtf8(win32common::BstrView(V_BSTR(&element))));
        } else {
            return false;
        }
    }
    return true;
}

RegistryData DataOf(REG_VALUE_TYPES type, const VARIANT& value) {
    const auto rawType = static_cast<std::uint32_t>(type);
    switch (V_VT(&value)) {
    case VT_EMPTY:
        return RegistryData();
    case VT_BSTR: {
        std::string text = win32common::WideToUtf8(win32common::BstrView(V_BSTR(&value)));
        return rawType == kRegExpandSzType ? RegistryData::ExpandText(std::move(text))
                                           : RegistryData::Text(std::move(text));
    }
    case VT_I4:
        return RegistryData::Number(static_cast<std::int32_t>(V_I4(&value)));
    case VT_ARRAY | VT_VARIANT: {
        if (rawType == kRegMultiSzType) {
            std::vector<std::string> strings;
            if (ArrayElements(V_ARRAY(&value), nullptr, &strings)) {
                return RegistryData::Strings(std::move(strings));
            }
        } else {
            std::vector<std::uint8_t> bytes;
            if (ArrayElements(V_ARRAY(&value), &bytes, nullptr)) {
                return RegistryData::Bytes(rawType, std::move(bytes));
            }
        }
        break;
    }
    default:
        break;
    }
    Throw(E_UNEXPECTED);
}

class ComRegistryKey final : public RegistryKeyObject {
public:
    explicit ComRegistryKey(win32common::ComPtr<IRegistryKey> key) : key_(std::move(key)) {}

    std::int32_t ValueCount() override {
        long count = 0;
        Checked([&] { return key_->get_ValueCount(&count); });
        return static_cast<std::int32_t>(count);
    }

    std::vector<RegistryEntry> Values() override {
        win32common::Variant collectionVariant;
        Checked([&] { return key_->Values(&collectionVariant); });
        if (collectionVariant.Type() != VT_DISPATCH || !V_DISPATCH(collectionVariant.Get())) {
            Throw(E_UNEXPECTED);
        }
        win32common::ComPtr<IRegistryValueCollection> collection;
        Checked([&] {
            return V_DISPATCH(collectionVariant.Get())
                ->QueryInterface(IID_IRegistryValueCollection,
                                 reinterpret_cast<void**>(&collection));
        });
        win32common::ComPtr<IUnknown> enumeratorUnknown;
        Checked([&] { return collection->get__NewEnum(&enumeratorUnknown); });
        win32common::ComPtr<IEnumVARIANT> enumerator;
        Checked([&] { return enumeratorUnknown.As(IID_IEnumVARIANT, enumerator); });

        std::vector<RegistryEntry> entries;
        for (;;) {
            std::array<win32common::Variant, kEnumerationBatch> items;
            static_assert(sizeof(win32common::Variant) == sizeof(VARIANT));
            ULONG fetched = 0;
            const HRESULT hr = Checked(
                [&] { return enumerator->Next(kEnumerationBatch, items[0].Get(), &fetched); });
            for (ULONG i = 0; i < fetched && i < kEnumerationBatch; ++i) {
                entries.push_back(EntryOf(items[i]));
            }
            if (hr != S_OK || fetched == 0) {
                break;
            }
        }
        return entries;
    }

    bool ValueExists(std::string_view name) override {
        win32common::ComPtr<IRegistryValue> value = Open(name);
        REG_VALUE_TYPES type = REG_VALUE_NONE;
        return Found([&] { return value->get_ValueType(&type); });
    }

    std::optional<RegistryData> ReadValue(std::string_view name) override {
        win32common::ComPtr<IRegistryValue> value = Open(name);
        REG_VALUE_TYPES type = REG_VALUE_NONE;
        if (!Found([&] { return value->get_ValueType(&type); })) {
            return std::nullopt;
        }
        win32common::Variant data;
        if (!Found([&] { return value->get_Value(&data); })) {
            return std::nullopt;
        }
        return DataOf(type, *data.Get());
    }

    void WriteString(std::string_view name, std::string_view data) override {
        win32common::ComPtr<IRegistryValue> value = Open(name);
        win32common::Variant text;
        V_VT(text.Get()) = VT_BSTR;
        V_BSTR(text.Get()) = ToBstr(data).Detach();
        Checked([&] { return value->put_Value(*text.Get()); });
    }

    void DeleteValue(std::string_view name) override {
        const win32common::Bstr valueName = ToBstr(name);
        Checked([&] { return key_->DeleteValue(valueName.Get()); });
    }

private:
    win32common::ComPtr<IRegistryValue> Open(std::string_view name) {
        const win32common::Bstr valueName = ToBstr(name);
        win32common::ComPtr<IRegistryValue> value;
        Checked([&] { return key_->OpenValue(valueName.Get(), &value); });
        return value;
    }

    static RegistryEntry EntryOf(win32common::Variant& item) {
        if (item.Type() != VT_DISPATCH || !V_DISPATCH(item.Get())) {
            Throw(E_UNEXPECTED);
        }
        win32common::ComPtr<IRegistryValue> value;
        Checked([&] {
            return V_DISPATCH(item.Get())
                ->QueryInterface(IID_IRegistryValue, reinterpret_cast<void**>(&value));
        });
        win32common::Bstr name;
        Checked([&] { return value->get_Name(&name); });
        REG_VALUE_TYPES type = REG_VALUE_NONE;
        Checked([&] { return value->get_ValueType(&type); });
        win32common::Variant data;
        Checked([&] { return value->get_Value(&data); });
        return RegistryEntry{win32common::WideToUtf8(name.View()), DataOf(type, *data.Get())};
    }

    win32common::ComPtr<IRegistryKey> key_;
};

class ComRegistryDatabase final : public RegistryDatabaseObject {
public:
    explicit ComRegistryDatabase(win32common::ComPtr<IRegistryDatabase> database)
        : database_(std::move(database)) {}

    std::unique_ptr<RegistryKeyObject> OpenKey(RegistryRoot root,
                                               std::string_view subKey) override {
        const win32common::Bstr name = ToBstr(subKey);
        win32common::ComPtr<IRegistryKey> key;
        if (!Found([&] {
                return database_->OpenKey(static_cast<REG_PREDEFINED_HKEYS>(root), name.Get(),
                                          REG_ACCESS_BEST_AVAILABLE, &key);
            })) {
            return nullptr;
        }
        return std::make_unique<ComRegistryKey>(std::move(key));
    }

    std::unique_ptr<RegistryKeyObject> CreateKey(RegistryRoot root,
                                                 std::string_view subKey) override {
        const win32common::Bstr name = ToBstr(subKey);
        win32common::ComPtr<IRegistryKey> key;
        Checked([&] {
            return database_->CreateKey(static_cast<REG_PREDEFINED_HKEYS>(root), name.Get(),
                                        REG_CREATE_OPTION_NON_VOLATILE, REG_ACCESS_BEST_AVAILABLE,
                                        &key);
        });
        return std::make_unique<ComRegistryKey>(std::move(key));
    }

private:
    win32common::ComPtr<IRegistryDatabase> database_;
};

} // namespace

std::unique_ptr<RegistryDatabaseObject> ComRegistryLibrary::CreateDatabase() {
    win32common::ComPtr<IRegistryDatabase> database;
    Checked([&] {
        return CoCreateInstance(CLSID_RegistryDatabase, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IRegistryDatabase, reinterpret_cast<void**>(&database));
    });
    return std::make_unique<ComRegistryDatabase>(std::move(database));
}

} // namespace tidewell::win32
