// The server frame reached directly: exports, class factories, aggregation, the module lock,
// the type-information-backed IDispatch, the type library and the resources.
#include "RegistryTestSupport.h"

#include <ocidl.h>

#include <atomic>
#include <map>
#include <string>
#include <vector>

namespace registry::test {
namespace {

using GetClassObjectFunction = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
using CanUnloadNowFunction = HRESULT(WINAPI*)();

// The library loaded by path, as the component system loads it.
class ServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        module_ = LoadLibraryW(REGISTRY_DLL_PATH);
        ASSERT_NE(nullptr, module_);
        getClassObject_ = reinterpret_cast<GetClassObjectFunction>(
            reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
        canUnloadNow_ = reinterpret_cast<CanUnloadNowFunction>(
            reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
        ASSERT_NE(nullptr, getClassObject_);
        ASSERT_NE(nullptr, canUnloadNow_);
    }
    void TearDown() override {
        if (module_)
            FreeLibrary(module_);
        CoUninitialize();
    }

    ComPtr<IClassFactory> Factory(REFCLSID clsid) {
        ComPtr<IClassFactory> factory;
        EXPECT_HRESULT_SUCCEEDED(
            getClassObject_(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
        return factory;
    }

    HMODULE module_ = nullptr;
    GetClassObjectFunction getClassObject_ = nullptr;
    CanUnloadNowFunction canUnloadNow_ = nullptr;
};

const CLSID* const kClasses[] = {&CLSID_RegistryDatabase, &CLSID_RegistryKey, &CLSID_RegistryValue,
                                 &CLSID_RegistryAccessor};
const IID* const kDefaultInterfaces[] = {&IID_IRegistryDatabase, &IID_IRegistryKey,
                                         &IID_IRegistryValue, &IID_IRegistryAccessor};

TEST_F(ServerTest, TheFourEntryPointsAreExportedByOrdinalOneToFour) {
    const char* const names[] = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                 "DllUnregisterServer"};
    for (WORD ordinal = 1; ordinal <= 4; ++ordinal) {
        SCOPED_TRACE(names[ordinal - 1]);
        FARPROC byOrdinal = GetProcAddress(module_, MAKEINTRESOURCEA(ordinal));
        ASSERT_NE(nullptr, byOrdinal);
        EXPECT_EQ(byOrdinal, GetProcAddress(module_, names[ordinal - 1]));
    }
    EXPECT_EQ(nullptr, GetProcAddress(module_, MAKEINTRESOURCEA(5)));
}

TEST_F(ServerTest, ClassObjectsAreMadeOnceAndKept) {
    for (const CLSID* clsid : kClasses) {
        ComPtr<IClassFactory> first = Factory(*clsid);
        ComPtr<IClassFactory> second = Factory(*clsid);
        ASSERT_TRUE(first);
        EXPECT_EQ(first.Get(), second.Get());
        ComPtr<IUnknown> unknown;
        ASSERT_HRESULT_SUCCEEDED(
            getClassObject_(*clsid, IID_IUnknown, reinterpret_cast<void**>(&unknown)));
        ComPtr<IUnknown> unsupported;
        EXPECT_EQ(E_NOINTERFACE,
                  getClassObject_(*clsid, IID_IDispatch, reinterpret_cast<void**>(&unsupported)));
        EXPECT_FALSE(unsupported);
    }
    void* result = reinterpret_cast<void*>(0xdeadbeef);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE,
              getClassObject_(IID_IRegistryKey, IID_IClassFactory, &result));
    EXPECT_EQ(nullptr, result);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject_(GUID_NULL, IID_IClassFactory, &result));
    EXPECT_EQ(E_POINTER, getClassObject_(CLSID_RegistryDatabase, IID_IClassFactory, nullptr));
}

TEST_F(ServerTest, EveryClassIsCreatedWithItsDefaultInterface) {
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        ComPtr<IClassFactory> factory = Factory(*kClasses[i]);
        ComPtr<IDispatch> object;
        ASSERT_HRESULT_SUCCEEDED(factory->CreateInstance(nullptr, *kDefaultInterfaces[i],
                                                         reinterpret_cast<void**>(&object)));
        ComPtr<IDispatch> dispatch;
        EXPECT_HRESULT_SUCCEEDED(
            object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)));
        EXPECT_EQ(object.Get(), dispatch.Get());
        EXPECT_EQ(E_POINTER, factory->CreateInstance(nullptr, IID_IUnknown, nullptr));
        void* unsupported = reinterpret_cast<void*>(0xdeadbeef);
        EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IClassFactory, &unsupported));
        EXPECT_EQ(nullptr, unsupported);
    }
}

// An outer object that aggregates one of ours and counts its own references.
class Outer final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
        if (IsEqualIID(iid, IID_IUnknown)) {
            *result = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(iid, result) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }

    std::atomic<ULONG> refs{1};
    ComPtr<IUnknown> inner;
};

TEST_F(ServerTest, DatabaseKeyAndValueCanBeAggregated) {
    const CLSID* classes[] = {&CLSID_RegistryDatabase, &CLSID_RegistryKey, &CLSID_RegistryValue};
    const IID* interfaces[] = {&IID_IRegistryDatabase, &IID_IRegistryKey, &IID_IRegistryValue};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ComPtr<IClassFactory> factory = Factory(*classes[i]);
        Outer outer;
        void* refused = reinterpret_cast<void*>(0xdeadbeef);
        EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, *interfaces[i], &refused));
        EXPECT_EQ(nullptr, refused);
        ASSERT_HRESULT_SUCCEEDED(
            factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)));
        EXPECT_EQ(1u, outer.refs.load());

        // The inner object's interfaces count on and answer for the outer object.
        ComPtr<IDispatch> dispatch;
        ASSERT_HRESULT_SUCCEEDED(
            outer.QueryInterface(*interfaces[i], reinterpret_cast<void**>(&dispatch)));
        EXPECT_EQ(2u, outer.refs.load());
        ComPtr<IUnknown> identity;
        ASSERT_HRESULT_SUCCEEDED(
            dispatch->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
        EXPECT_EQ(static_cast<IUnknown*>(&outer), identity.Get());
        identity.Reset();
        ComPtr<ISupportErrorInfo> support;
        ASSERT_HRESULT_SUCCEEDED(
            dispatch->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)));
        EXPECT_EQ(S_OK, support->InterfaceSupportsErrorInfo(*interfaces[i]));
        support.Reset();
        dispatch.Reset();
        EXPECT_EQ(1u, outer.refs.load());
        outer.inner.Reset();
    }
    EXPECT_EQ(S_OK, canUnloadNow_());
}

TEST_F(ServerTest, TheModuleLockCountsObjectsFactoriesAndServerLocks) {
    ASSERT_EQ(S_OK, canUnloadNow_());
    {
        ComPtr<IClassFactory> factory = Factory(CLSID_RegistryDatabase);
        // A factory a client holds counts; the one the server keeps does not.
        EXPECT_EQ(S_FALSE, canUnloadNow_());
        ComPtr<IRegistryDatabase> database;
        ASSERT_HRESULT_SUCCEEDED(factory->CreateInstance(nullptr, IID_IRegistryDatabase,
                                                         reinterpret_cast<void**>(&database)));
        factory.Reset();
        EXPECT_EQ(S_FALSE, canUnloadNow_());

        // Children hold their parents.
        ComPtr<IRegistryKey> key;
        ASSERT_HRESULT_SUCCEEDED(database->OpenKey(REG_HKEY_CURRENT_USER, Bstr(L"Software").Get(),
                                                   REG_ACCESS_READ, &key));
        ComPtr<IRegistryValue> value;
        ASSERT_HRESULT_SUCCEEDED(key->OpenValue(Bstr(L"x").Get(), &value));
        database.Reset();
        key.Reset();
        EXPECT_EQ(S_FALSE, canUnloadNow_());
        ComPtr<IRegistryKey> parent;
        ASSERT_HRESULT_SUCCEEDED(value->get_RegistryKey(&parent));
        ComPtr<IRegistryDatabase> owner;
        ASSERT_HRESULT_SUCCEEDED(parent->get_RegistryDatabase(&owner));
        EXPECT_TRUE(owner);
        value.Reset();
        parent.Reset();
        EXPECT_EQ(S_FALSE, canUnloadNow_());
        owner.Reset();
    }
    EXPECT_EQ(S_OK, canUnloadNow_());

    ComPtr<IClassFactory> factory = Factory(CLSID_RegistryKey);
    ASSERT_HRESULT_SUCCEEDED(factory->LockServer(TRUE));
    factory.Reset();
    EXPECT_EQ(S_FALSE, canUnloadNow_());
    factory = Factory(CLSID_RegistryKey);
    ASSERT_HRESULT_SUCCEEDED(factory->LockServer(FALSE));
    factory.Reset();
    EXPECT_EQ(S_OK, canUnloadNow_());
}

// Releasing oleaut32's objects runs its code, which may free or load libraries: never under the
// loader lock. The library gives its type information back when DllCanUnloadNow agrees instead.
TEST_F(ServerTest, TypeInformationIsGivenBackByDllCanUnloadNowAndNeverByDllMain) {
    ComPtr<ITypeLib> library;
    ASSERT_HRESULT_SUCCEEDED(LoadTypeLib(REGISTRY_DLL_PATH, &library));
    const auto references = [&] {
        library->AddRef();
        return library->Release();
    };
    const auto useDispatch = [&] {
        ComPtr<IRegistryDatabase> database;
        ASSERT_HRESULT_SUCCEEDED(Factory(CLSID_RegistryDatabase)
                                     ->CreateInstance(nullptr, IID_IRegistryDatabase,
                                                      reinterpret_cast<void**>(&database)));
        LPOLESTR name = const_cast<LPOLESTR>(L"OpenKey");
        DISPID id = DISPID_UNKNOWN;
        ASSERT_HRESULT_SUCCEEDED(database->GetIDsOfNames(IID_NULL, &name, 1, 0x409, &id));
    };
    const ULONG baseline = references();
    useDispatch();
    EXPECT_GT(references(), baseline) << "the library keeps no type information";
    EXPECT_EQ(S_OK, canUnloadNow_());
    EXPECT_EQ(baseline, references());

    // Unloaded without asking first, the library leaves oleaut32's objects alone.
    useDispatch();
    const ULONG held = references();
    EXPECT_GT(held, baseline);
    ASSERT_TRUE(FreeLibrary(module_));
    module_ = nullptr;
    ASSERT_EQ(nullptr, GetModuleHandleW(REGISTRY_DLL_PATH)) << "the library is still loaded";
    EXPECT_EQ(held, references());
}

TEST_F(ServerTest, ErrorInfoSupportIsForEachClassesDefaultInterface) {
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ComPtr<IUnknown> object;
        ASSERT_HRESULT_SUCCEEDED(
            Factory(*kClasses[i])
                ->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)));
        ComPtr<ISupportErrorInfo> support;
        ASSERT_HRESULT_SUCCEEDED(
            object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)));
        for (size_t j = 0; j < 4; ++j)
            EXPECT_EQ(i == j ? S_OK : S_FALSE,
                      support->InterfaceSupportsErrorInfo(*kDefaultInterfaces[j]));
        EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IDispatch));
        EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IUnknown));
    }
}

TEST_F(ServerTest, DispatchIsServedFromTheTypeLibrary) {
    ComPtr<IRegistryDatabase> database;
    ASSERT_HRESULT_SUCCEEDED(
        Factory(CLSID_RegistryDatabase)
            ->CreateInstance(nullptr, IID_IRegistryDatabase, reinterpret_cast<void**>(&database)));
    UINT count = 0;
    ASSERT_HRESULT_SUCCEEDED(database->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    EXPECT_EQ(E_POINTER, database->GetTypeInfoCount(nullptr));
    ComPtr<ITypeInfo> info;
    ASSERT_HRESULT_SUCCEEDED(database->GetTypeInfo(0, 0x409, &info));
    TYPEATTR* attributes = nullptr;
    ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attributes));
    EXPECT_TRUE(IsEqualGUID(IID_IRegistryDatabase, attributes->guid));
    info->ReleaseTypeAttr(attributes);
    ComPtr<ITypeInfo> beyond;
    EXPECT_EQ(DISP_E_BADINDEX, database->GetTypeInfo(1, 0x409, &beyond));

    const wchar_t* names[] = {L"ComputerName",  L"CreateKey", L"OpenKey",  L"DeleteKey",
                              L"DeleteKeyTree", L"LoadKey",   L"UnloadKey"};
    for (DISPID expected = 1; expected <= 7; ++expected) {
        LPOLESTR name = const_cast<LPOLESTR>(names[expected - 1]);
        DISPID id = -99;
        ASSERT_HRESULT_SUCCEEDED(database->GetIDsOfNames(IID_NULL, &name, 1, 0x409, &id));
        EXPECT_EQ(expected, id);
    }
    LPOLESTR unknown = const_cast<LPOLESTR>(L"NoSuchMember");
    DISPID id = 0;
    EXPECT_EQ(DISP_E_UNKNOWNNAME, database->GetIDsOfNames(IID_NULL, &unknown, 1, 0x409, &id));
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
              database->GetIDsOfNames(IID_IRegistryDatabase, &unknown, 1, 0x409, &id));

    // OpenKey by DISPID, its optional access mode left out.
    Variant arguments[2];
    V_VT(arguments[0].Get()) = VT_BSTR;
    V_BSTR(arguments[0].Get()) = SysAllocString(L"Software");
    V_VT(arguments[1].Get()) = VT_I4;
    V_I4(arguments[1].Get()) = static_cast<LONG>(REG_HKEY_CURRENT_USER);
    VARIANT reversed[2] = {*arguments[0].Get(), *arguments[1].Get()};
    DISPPARAMS params = {reversed, nullptr, 2, 0};
    Variant result;
    ASSERT_HRESULT_SUCCEEDED(database->Invoke(3, IID_NULL, 0x409, DISPATCH_METHOD, &params,
                                              result.Get(), nullptr, nullptr));
    ASSERT_EQ(VT_DISPATCH, result.Type());
    ComPtr<IRegistryKey> key;
    ASSERT_HRESULT_SUCCEEDED(
        V_DISPATCH(result.Get())->QueryInterface(IID_IRegistryKey, reinterpret_cast<void**>(&key)));
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE, database->Invoke(3, IID_IRegistryKey, 0x409, DISPATCH_METHOD,
                                                        &params, nullptr, nullptr, nullptr));

    // The collection's enumerator is a property; a method call of it is served too.
    Variant collection;
    ASSERT_HRESULT_SUCCEEDED(key->SubKeys(&collection));
    ASSERT_EQ(VT_DISPATCH, collection.Type());
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    for (WORD flags : {static_cast<WORD>(DISPATCH_PROPERTYGET), static_cast<WORD>(DISPATCH_METHOD),
                       static_cast<WORD>(DISPATCH_METHOD | DISPATCH_PROPERTYGET)}) {
        SCOPED_TRACE(flags);
        Variant enumerator;
        ASSERT_HRESULT_SUCCEEDED(V_DISPATCH(collection.Get())
                                     ->Invoke(DISPID_NEWENUM, IID_NULL, 0x409, flags, &none,
                                              enumerator.Get(), nullptr, nullptr));
        ASSERT_EQ(VT_UNKNOWN, enumerator.Type());
        ComPtr<IEnumVARIANT> items;
        EXPECT_HRESULT_SUCCEEDED(
            V_UNKNOWN(enumerator.Get())
                ->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&items)));
    }
}

struct Member {
    const wchar_t* name;
    DISPID id;
    INVOKEKIND kind;
    int slot;
    const wchar_t* help;
};

struct InterfaceRow {
    const wchar_t* name;
    const IID* iid;
    const wchar_t* help;
    bool hidden;
    std::vector<Member> members;
};

std::wstring TypeName(ITypeInfo* info) {
    Bstr name;
    info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
    return std::wstring(name.View());
}

ComPtr<ITypeLib> RegisteredTypeLibrary() {
    ComPtr<ITypeLib> library;
    EXPECT_HRESULT_SUCCEEDED(LoadRegTypeLib(LIBID_WindowsRegistry, 1, 0, 0x409, &library));
    return library;
}

TEST_F(ServerTest, TheTypeLibraryDescribesEveryInterfaceInSlotOrder) {
    constexpr INVOKEKIND get = INVOKE_PROPERTYGET, put = INVOKE_PROPERTYPUT, call = INVOKE_FUNC;
    const wchar_t* computer = L"The name of the computer whose registry is being accessed";
    const std::vector<InterfaceRow> rows = {
        {L"IRegistryDatabase",
         &IID_IRegistryDatabase,
         L"Registry Database",
         false,
         {{L"ComputerName", 1, get, 7, computer},
          {L"ComputerName", 1, put, 8, computer},
          {L"CreateKey", 2, call, 9, L"Create a registry key"},
          {L"OpenKey", 3, call, 10, L"Open a registry key"},
          {L"DeleteKey", 4, call, 11, L"Delete a registry key"},
          {L"DeleteKeyTree", 5, call, 12,
           L"Recursively delete a registry key and any child subkeys"},
          {L"LoadKey", 6, call, 13, L"Load a key from a file"},
          {L"UnloadKey", 7, call, 14, L"Unload a key previously loaded from a file"}}},
        {L"IRegistryKey",
         &IID_IRegistryKey,
         L"Registry Key",
         false,
         {{L"RegistryDatabase", 1, get, 7, L"The registry database object containing this key"},
          {L"Name", 2, get, 8, L"The key name"},
          {L"HKEY", 3, get, 9, L"The key handle (HKEY)"},
          {L"SubKeyCount", 4, get, 10, L"The number of sub-keys under this key"},
          {L"SubKeyNames", 5, get, 11, L"The array of sub-key names"},
          {L"ValueCount", 6, get, 12, L"The number of values under this key"},
          {L"ValueNames", 7, get, 13, L"The array of value names"},
          {L"OpenValue", 8, call, 14, L"Open a registry value"},
          {L"DeleteValue", 9, call, 15, L"Delete a registry value"},
          {L"Flush", 10, call, 16, L"Flush the key changes to disk"},
          {L"Save", 11, call, 17, L"Save the key to a disk file"},
          {L"Restore", 12, call, 18, L"Restore the key from a disk file"},
          {L"Replace", 13, call, 19,
           L"Replace the key from a disk file and save the current configuration to a backup "
           L"disk file"},
          {L"SubKeys", 14, call, 20, L"Return the collection of sub-keys"},
          {L"Values", 15, call, 21, L"Return the collection of values"}}},
        {L"IRegistryValue",
         &IID_IRegistryValue,
         L"Registry Value",
         false,
         {{L"Value", 0, get, 7, L"The value"},
          {L"Value", 0, put, 8, L"The value"},
          {L"RegistryKey", 1, get, 9, L"The registry key containing this value"},
          {L"Name", 2, get, 10, L"The value name"},
          {L"ValueType", 3, get, 11, L"The value type"},
          {L"ExpandString", 4, get, 12,
           L"The flag to expand references to environment variables in the string"},
          {L"ExpandString", 4, put, 13,
           L"The flag to expand references to environment variables in the string"}}},
        {L"IRegistryAccessor",
         &IID_IRegistryAccessor,
         L"Registry Accessor",
         false,
         {{L"ComputerName", 1, get, 7, computer},
          {L"ComputerName", 1, put, 8, computer},
          {L"HKEY", 2, get, 9, L"The key handle (HKEY)"},
          {L"HKEY", 2, put, 10, L"The key handle (HKEY)"},
          {L"SubKey", 3, get, 11, L"The subkey name"},
          {L"SubKey", 3, put, 12, L"The subkey name"},
          {L"ValueName", 4, get, 13, L"The value name"},
          {L"ValueName", 4, put, 14, L"The value name"},
          {L"Value", 5, get, 15, L"The value"},
          {L"Value", 5, put, 16, L"The value"}}},
        {L"IRegistryKeyCollection",
         &IID_IRegistryKeyCollection,
         L"Registry Key Collection",
         true,
         {{L"Count", 1, get, 7, L"The number of keys in the collection"},
          {L"Item", 0, get, 8, L"The key object in the collection at the specified index"},
          {L"_NewEnum", DISPID_NEWENUM, get, 9, L"An enumerator for the collection"}}},
        {L"IRegistryValueCollection",
         &IID_IRegistryValueCollection,
         L"Registry Value Collection",
         true,
         {{L"Count", 1, get, 7, L"The number of values in the collection"},
          {L"Item", 0, get, 8, L"The value object in the collection at the specified index"},
          {L"_NewEnum", DISPID_NEWENUM, get, 9, L"An enumerator for the collection"}}},
    };

    ComPtr<ITypeLib> library = RegisteredTypeLibrary();
    ASSERT_TRUE(library);
    TLIBATTR* libraryAttributes = nullptr;
    ASSERT_HRESULT_SUCCEEDED(library->GetLibAttr(&libraryAttributes));
    EXPECT_EQ(0x409u, libraryAttributes->lcid);
    EXPECT_EQ(1, libraryAttributes->wMajorVerNum);
    EXPECT_EQ(0, libraryAttributes->wMinorVerNum);
    library->ReleaseTLibAttr(libraryAttributes);
    Bstr libraryName;
    ASSERT_HRESULT_SUCCEEDED(
        library->GetDocumentation(-1, &libraryName, nullptr, nullptr, nullptr));
    EXPECT_EQ(L"WindowsRegistry", libraryName.View());

    for (const InterfaceRow& row : rows) {
        SCOPED_TRACE(Narrow(row.name));
        ComPtr<ITypeInfo> dispatchInfo;
        ASSERT_HRESULT_SUCCEEDED(library->GetTypeInfoOfGuid(*row.iid, &dispatchInfo));
        EXPECT_EQ(row.name, TypeName(dispatchInfo.Get()));
        TYPEATTR* attributes = nullptr;
        ASSERT_HRESULT_SUCCEEDED(dispatchInfo->GetTypeAttr(&attributes));
        EXPECT_EQ(TKIND_DISPATCH, attributes->typekind);
        EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
        EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDISPATCHABLE);
        EXPECT_EQ(row.hidden, (attributes->wTypeFlags & TYPEFLAG_FHIDDEN) != 0);
        dispatchInfo->ReleaseTypeAttr(attributes);
        Bstr help;
        ASSERT_HRESULT_SUCCEEDED(
            dispatchInfo->GetDocumentation(MEMBERID_NIL, nullptr, &help, nullptr, nullptr));
        EXPECT_EQ(row.help, help.View());

        // The vtable half of the dual interface holds the slots.
        HREFTYPE reference = 0;
        ASSERT_HRESULT_SUCCEEDED(dispatchInfo->GetRefTypeOfImplType(-1, &reference));
        ComPtr<ITypeInfo> info;
        ASSERT_HRESULT_SUCCEEDED(dispatchInfo->GetRefTypeInfo(reference, &info));
        ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attributes));
        EXPECT_EQ(TKIND_INTERFACE, attributes->typekind);
        EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FOLEAUTOMATION);
        EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
        ASSERT_EQ(row.members.size(), static_cast<size_t>(attributes->cFuncs));
        info->ReleaseTypeAttr(attributes);
        for (size_t i = 0; i < row.members.size(); ++i) {
            const Member& member = row.members[i];
            SCOPED_TRACE(Narrow(member.name));
            FUNCDESC* function = nullptr;
            ASSERT_HRESULT_SUCCEEDED(info->GetFuncDesc(static_cast<UINT>(i), &function));
            EXPECT_EQ(member.id, function->memid);
            EXPECT_EQ(member.kind, function->invkind);
            EXPECT_EQ(member.slot, function->oVft / static_cast<int>(sizeof(void*)));
            EXPECT_EQ(member.id == DISPID_NEWENUM,
                      (function->wFuncFlags & FUNCFLAG_FRESTRICTED) != 0);
            const MEMBERID id = function->memid;
            info->ReleaseFuncDesc(function);
            Bstr name;
            Bstr memberHelp;
            ASSERT_HRESULT_SUCCEEDED(
                info->GetDocumentation(id, &name, &memberHelp, nullptr, nullptr));
            EXPECT_EQ(member.name, name.View());
            EXPECT_EQ(member.help, memberHelp.View());
        }
    }
}

TEST_F(ServerTest, TheTypeLibraryHoldsTheEnumerationsEventsAndClasses) {
    ComPtr<ITypeLib> library = RegisteredTypeLibrary();
    ASSERT_TRUE(library);
    std::map<std::wstring, ComPtr<ITypeInfo>> types;
    for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
        ComPtr<ITypeInfo> info;
        ASSERT_HRESULT_SUCCEEDED(library->GetTypeInfo(i, &info));
        types[TypeName(info.Get())] = info;
    }

    const struct {
        const wchar_t* name;
        const wchar_t* help;
        std::vector<std::pair<const wchar_t*, LONG>> values;
    } enums[] = {
        {L"REG_PREDEFINED_HKEYS",
         L"Predefined key handles",
         {{L"REG_HKEY_CLASSES_ROOT", static_cast<LONG>(0x80000000)},
          {L"REG_HKEY_CURRENT_USER", static_cast<LONG>(0x80000001)},
          {L"REG_HKEY_LOCAL_MACHINE", static_cast<LONG>(0x80000002)},
          {L"REG_HKEY_USERS", static_cast<LONG>(0x80000003)},
          {L"REG_HKEY_PERFORMANCE_DATA", static_cast<LONG>(0x80000004)},
          {L"REG_HKEY_CURRENT_CONFIG", static_cast<LONG>(0x80000005)},
          {L"REG_HKEY_DYN_DATA", static_cast<LONG>(0x80000006)}}},
        {L"REG_KEY_CREATE_OPTIONS",
         L"Registry key create options",
         {{L"REG_CREATE_OPTION_NON_VOLATILE", 0},
          {L"REG_CREATE_OPTION_VOLATILE", 1},
          {L"REG_CREATE_OPTION_BACKUP_RESTORE", 4}}},
        {L"REG_ACCESS_MODES",
         L"Registry access modes",
         {{L"REG_ACCESS_BEST_AVAILABLE", 0},
          {L"REG_ACCESS_ALL", 0xF003F},
          {L"REG_ACCESS_CREATE_LINK", 0x20},
          {L"REG_ACCESS_CREATE_SUB_KEYS", 4},
          {L"REG_ACCESS_ENUM_SUB_KEYS", 8},
          {L"REG_ACCESS_EXECUTE", 0x20019},
          {L"REG_ACCESS_NOTIFY", 0x10},
          {L"REG_ACCESS_QUERY_VALUE", 1},
          {L"REG_ACCESS_READ", 0x20019},
          {L"REG_ACCESS_SET_VALUE", 2},
          {L"REG_ACCESS_WRITE", 0x20006}}},
        {L"REG_VALUE_TYPES",
         L"Registry value types",
         {{L"REG_VALUE_NONE", 0},
          {L"REG_VALUE_SZ", 1},
          {L"REG_VALUE_EXPAND_SZ", 2},
          {L"REG_VALUE_BINARY", 3},
          {L"REG_VALUE_DWORD", 4},
          {L"REG_VALUE_DWORD_LITTLE_ENDIAN", 4},
          {L"REG_VALUE_DWORD_BIG_ENDIAN", 5},
          {L"REG_VALUE_LINK", 6},
          {L"REG_VALUE_MULTI_SZ", 7},
          {L"REG_VALUE_RESOURCE_LIST", 8},
          {L"REG_VALUE_FULL_RESOURCE_DESCRIPTOR", 9},
          {L"REG_VALUE_RESOURCE_REQUIREMENTS_LIST", 10}}},
    };
    for (const auto& row : enums) {
        SCOPED_TRACE(Narrow(row.name));
        ASSERT_TRUE(types.count(row.name));
        ITypeInfo* info = types[row.name].Get();
        TYPEATTR* attributes = nullptr;
        ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attributes));
        EXPECT_EQ(TKIND_ENUM, attributes->typekind);
        ASSERT_EQ(row.values.size(), static_cast<size_t>(attributes->cVars));
        info->ReleaseTypeAttr(attributes);
        Bstr help;
        info->GetDocumentation(MEMBERID_NIL, nullptr, &help, nullptr, nullptr);
        EXPECT_EQ(row.help, help.View());
        for (size_t i = 0; i < row.values.size(); ++i) {
            VARDESC* variable = nullptr;
            ASSERT_HRESULT_SUCCEEDED(info->GetVarDesc(static_cast<UINT>(i), &variable));
            Bstr name;
            info->GetDocumentation(variable->memid, &name, nullptr, nullptr, nullptr);
            EXPECT_EQ(row.values[i].first, name.View());
            Variant value;
            VariantChangeType(value.Get(), variable->lpvarValue, 0, VT_I4);
            EXPECT_EQ(row.values[i].second, V_I4(value.Get())) << Narrow(row.values[i].first);
            info->ReleaseVarDesc(variable);
        }
    }

    // The event interface: a pure dispatch interface with one method.
    ComPtr<ITypeInfo> events;
    ASSERT_HRESULT_SUCCEEDED(library->GetTypeInfoOfGuid(DIID__IRegistryKeyEvents, &events));
    TYPEATTR* attributes = nullptr;
    ASSERT_HRESULT_SUCCEEDED(events->GetTypeAttr(&attributes));
    EXPECT_EQ(TKIND_DISPATCH, attributes->typekind);
    EXPECT_FALSE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
    ASSERT_EQ(1, attributes->cFuncs);
    events->ReleaseTypeAttr(attributes);
    FUNCDESC* function = nullptr;
    ASSERT_HRESULT_SUCCEEDED(events->GetFuncDesc(0, &function));
    EXPECT_EQ(1, function->memid);
    EXPECT_EQ(0, function->cParams);
    events->ReleaseFuncDesc(function);
    Bstr name, help;
    events->GetDocumentation(1, &name, &help, nullptr, nullptr);
    EXPECT_EQ(L"OnRegistryChange", name.View());
    EXPECT_EQ(L"Fired when a key, sub-key or value changes", help.View());

    const struct {
        const CLSID* clsid;
        const wchar_t* name;
        const wchar_t* help;
        bool creatable;
        const IID* defaultInterface;
        bool hasSource;
    } classes[] = {
        {&CLSID_RegistryDatabase, L"RegistryDatabase", L"Registry Database", true,
         &IID_IRegistryDatabase, false},
        {&CLSID_RegistryKey, L"RegistryKey", L"Registry Key", false, &IID_IRegistryKey, true},
        {&CLSID_RegistryValue, L"RegistryValue", L"Registry Value", false, &IID_IRegistryValue,
         false},
        {&CLSID_RegistryAccessor, L"RegistryAccessor", L"Registry Accessor", true,
         &IID_IRegistryAccessor, false},
    };
    for (const auto& row : classes) {
        SCOPED_TRACE(Narrow(row.name));
        ComPtr<ITypeInfo> info;
        ASSERT_HRESULT_SUCCEEDED(library->GetTypeInfoOfGuid(*row.clsid, &info));
        EXPECT_EQ(row.name, TypeName(info.Get()));
        Bstr classHelp;
        info->GetDocumentation(MEMBERID_NIL, nullptr, &classHelp, nullptr, nullptr);
        EXPECT_EQ(row.help, classHelp.View());
        ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attributes));
        EXPECT_EQ(TKIND_COCLASS, attributes->typekind);
        EXPECT_EQ(row.creatable, (attributes->wTypeFlags & TYPEFLAG_FCANCREATE) != 0);
        const UINT implemented = attributes->cImplTypes;
        info->ReleaseTypeAttr(attributes);
        EXPECT_EQ(row.hasSource ? 2u : 1u, implemented);
        for (UINT i = 0; i < implemented; ++i) {
            INT flags = 0;
            ASSERT_HRESULT_SUCCEEDED(info->GetImplTypeFlags(i, &flags));
            EXPECT_TRUE(flags & IMPLTYPEFLAG_FDEFAULT);
            HREFTYPE reference = 0;
            ASSERT_HRESULT_SUCCEEDED(info->GetRefTypeOfImplType(i, &reference));
            ComPtr<ITypeInfo> implementedInfo;
            ASSERT_HRESULT_SUCCEEDED(info->GetRefTypeInfo(reference, &implementedInfo));
            TYPEATTR* implementedAttributes = nullptr;
            ASSERT_HRESULT_SUCCEEDED(implementedInfo->GetTypeAttr(&implementedAttributes));
            const bool source = (flags & IMPLTYPEFLAG_FSOURCE) != 0;
            EXPECT_TRUE(IsEqualGUID(source ? DIID__IRegistryKeyEvents : *row.defaultInterface,
                                    implementedAttributes->guid));
            implementedInfo->ReleaseTypeAttr(implementedAttributes);
        }
    }
}

TEST_F(ServerTest, TheModuleCarriesItsResources) {
    wchar_t project[32] = {};
    ASSERT_GT(LoadStringW(module_, 100, project, 32), 0);
    EXPECT_STREQ(L"Registry", project);
    for (WORD script : {101, 102, 103, 106}) {
        SCOPED_TRACE(script);
        HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(script), L"REGISTRY");
        ASSERT_NE(nullptr, found);
        EXPECT_GT(SizeofResource(module_, found), 100u);
    }
    EXPECT_EQ(nullptr, FindResourceW(module_, MAKEINTRESOURCEW(104), L"REGISTRY"));
    EXPECT_NE(nullptr, FindResourceW(module_, MAKEINTRESOURCEW(1), L"TYPELIB"));
    EXPECT_NE(nullptr,
              FindResourceW(module_, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16)));

    // The embedded library is the one LoadTypeLib finds in the module file.
    ComPtr<ITypeLib> embedded;
    ASSERT_HRESULT_SUCCEEDED(LoadTypeLib(REGISTRY_DLL_PATH, &embedded));
    TLIBATTR* attributes = nullptr;
    ASSERT_HRESULT_SUCCEEDED(embedded->GetLibAttr(&attributes));
    EXPECT_TRUE(IsEqualGUID(LIBID_WindowsRegistry, attributes->guid));
    embedded->ReleaseTLibAttr(attributes);
}

} // namespace
} // namespace registry::test
