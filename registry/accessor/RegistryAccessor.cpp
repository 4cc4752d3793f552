#include "accessor/RegistryAccessor.h"

#include "win32common/Bstr.h"
#include "win32common/ComPtr.h"
#include "win32common/Result.h"
#include "win32common/Text.h"
#include "com/Dispatch.h"
#include "com/ErrorInfo.h"
#include "com/ObjectBase.h"
#include "com/SupportErrorInfo.h"
#include "objects/RegistryDatabase.h"

#include <string>

namespace registry {
namespace {

// One value named by four properties. The database, key and value objects it needs are built at
// the first Value access and kept until a property they depend on changes.
class RegistryAccessor final : public ObjectBase,
                               public Dispatch<IRegistryAccessor, IID_IRegistryAccessor>,
                               public SupportErrorInfo<IID_IRegistryAccessor> {
public:
    explicit RegistryAccessor(IUnknown* outer) : ObjectBase(outer) {}

    REGISTRY_IUNKNOWN_FORWARD

    HRESULT STDMETHODCALLTYPE get_ComputerName(BSTR* result) override {
        return CopyText(computerName_, result);
    }
    HRESULT STDMETHODCALLTYPE put_ComputerName(BSTR text) override {
        bool changed = false;
        TIDEWELL_RETURN_IF_FAILED(StoreText(computerName_, text, &changed));
        if (changed) {
            value_.Reset();
            key_.Reset();
            database_.Reset();
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_HKEY(REG_PREDEFINED_HKEYS* result) override {
        if (!result) {
            return ReportError(CLSID_RegistryAccessor, E_POINTER, L"Null pointer");
        }
        *result = root_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_HKEY(REG_PREDEFINED_HKEYS root) override {
        if (root != root_) {
            root_ = root;
            value_.Reset();
            key_.Reset();
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_SubKey(BSTR* result) override {
        return CopyText(subKey_, result);
    }
    HRESULT STDMETHODCALLTYPE put_SubKey(BSTR text) override {
        bool changed = false;
        TIDEWELL_RETURN_IF_FAILED(StoreText(subKey_, text, &changed));
        if (changed) {
            value_.Reset();
            key_.Reset();
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_ValueName(BSTR* result) override {
        return CopyText(valueName_, result);
    }
    HRESULT STDMETHODCALLTYPE put_ValueName(BSTR text) override {
        bool changed = false;
        TIDEWELL_RETURN_IF_FAILED(StoreText(valueName_, text, &changed));
        if (changed) {
            value_.Reset();
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_Value(VARIANT* result) override {
        TIDEWELL_COM_BOUNDARY_BEGIN
        if (!result) {
            return ReportError(CLSID_RegistryAccessor, E_POINTER, L"Null pointer");
        }
        VariantInit(result);
        TIDEWELL_RETURN_IF_FAILED(Build(false));
        return value_->get_Value(result);
        TIDEWELL_COM_BOUNDARY_END
    }
    HRESULT STDMETHODCALLTYPE put_Value(VARIANT data) override {
        TIDEWELL_COM_BOUNDARY_BEGIN
        TIDEWELL_RETURN_IF_FAILED(Build(true));
        return value_->put_Value(data);
        TIDEWELL_COM_BOUNDARY_END
    }

protected:
    void* FindInterface(REFIID iid) override {
        if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IRegistryAccessor)) {
            return static_cast<IRegistryAccessor*>(this);
        }
        if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
            return static_cast<ISupportErrorInfo*>(this);
        }
        return nullptr;
    }

private:
    static HRESULT CopyText(const win32common::Bstr& text, BSTR* result) {
        if (!result) {
            return ReportError(CLSID_RegistryAccessor, E_POINTER, L"Null pointer");
        }
        *result = nullptr;
        win32common::Bstr copy(text.View());
        if (!copy.Get()) {
            return ReportError(CLSID_RegistryAccessor, E_OUTOFMEMORY, L"Out of memory");
        }
        *result = copy.Detach();
        return S_OK;
    }

    // Stores the new text; *changed tells whether it differs from the old one as the registry
    // sees names: in the ANSI code page, case-sensitively.
    static HRESULT StoreText(win32common::Bstr& stored, BSTR text, bool* changed) {
        std::string before;
        std::string after;
        HRESULT hr = win32common::ToAnsi(stored.Get(), before);
        if (SUCCEEDED(hr)) {
            hr = win32common::ToAnsi(text, after);
        }
        if (FAILED(hr)) {
            return ReportError(CLSID_RegistryAccessor, hr, L"Error converting the string");
        }
        win32common::Bstr copy(win32common::BstrView(text));
        if (!copy.Get()) {
            return ReportError(CLSID_RegistryAccessor, E_OUTOFMEMORY, L"Out of memory");
        }
        stored = std::move(copy);
        *changed = before != after;
        return S_OK;
    }

    // Makes what is missing of database, key and value. A write creates the key, a read
    // opens it; either way the key is kept for the other.
    HRESULT Build(bool forWrite) {
        if (!database_) {
            win32common::ComPtr<IRegistryDatabase> database;
            HRESULT hr = CreateRegistryDatabase(nullptr, IID_IRegistryDatabase,
                                                reinterpret_cast<void**>(&database));
            if (FAILED(hr) || !database) {
                return ReportError(CLSID_RegistryAccessor, FAILED(hr) ? hr : E_UNEXPECTED,
                                   L"Error creating the registry database object");
            }
            TIDEWELL_RETURN_IF_FAILED(database->put_ComputerName(computerName_.Get()));
            database_ = std::move(database);
        }
        if (!key_) {
            win32common::ComPtr<IRegistryKey> key;
            if (forWrite) {
                TIDEWELL_RETURN_IF_FAILED(database_->CreateKey(root_, subKey_.Get(),
                                                               REG_CREATE_OPTION_NON_VOLATILE,
                                                               REG_ACCESS_BEST_AVAILABLE, &key));
            } else {
                TIDEWELL_RETURN_IF_FAILED(
                    database_->OpenKey(root_, subKey_.Get(), REG_ACCESS_BEST_AVAILABLE, &key));
            }
            if (!key) {
                return E_UNEXPECTED;
            }
            key_ = std::move(key);
        }
        if (!value_) {
            win32common::ComPtr<IRegistryValue> value;
            TIDEWELL_RETURN_IF_FAILED(key_->OpenValue(valueName_.Get(), &value));
            if (!value) {
                return E_UNEXPECTED;
            }
            value_ = std::move(value);
        }
        return S_OK;
    }

    win32common::Bstr computerName_;
    REG_PREDEFINED_HKEYS root_ = REG_HKEY_LOCAL_MACHINE;
    win32common::Bstr subKey_;
    win32common::Bstr valueName_;
    win32common::ComPtr<IRegistryDatabase> database_;
    win32common::ComPtr<IRegistryKey> key_;
    win32common::ComPtr<IRegistryValue> value_;
};

} // namespace

HRESULT CreateRegistryAccessor(IUnknown* outer, REFIID iid, void** result) {
    return CreateComObject<RegistryAccessor>(outer, iid, result, nullptr);
}

} // namespace registry
