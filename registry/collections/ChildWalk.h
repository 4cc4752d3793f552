#pragma once

#include "collections/EnumerationCursor.h"
#include "win32common/Bstr.h"

#include <windows.h>

#include "WindowsRegistry.h"

namespace registry {

// How the collections and enumerators reach a key's children, only through the key's public
// interface: the count, the name at an index, and the child object for a name. Failures come
// back as bare HRESULTs: error information the key or the database set on the way is cleared.

struct SubKeyWalk {
    using CollectionInterface = IRegistryKeyCollection;
    static HRESULT Count(IRegistryKey* parent, LONG* count);
    // The failed read's 0x80070000 | code.
    static HRESULT ReadName(IRegistryKey* parent, DWORD index, win32common::Bstr& name);
    // The database's OpenKey with the parent's handle as base, best available access.
    static HRESULT Open(IRegistryKey* parent, BSTR name, IDispatch** child);
    // One step of an enumerator: the child at index read and opened into *child.
    static EnumerationCursor::Step Deliver(IRegistryKey* parent, DWORD index, IDispatch** child);
};

struct ValueWalk {
    using CollectionInterface = IRegistryValueCollection;
    static HRESULT Count(IRegistryKey* parent, LONG* count);
    static HRESULT ReadName(IRegistryKey* parent, DWORD index, win32common::Bstr& name);
    // The parent's OpenValue.
    static HRESULT Open(IRegistryKey* parent, BSTR name, IDispatch** child);
    // The same with one registry call: the name comes with the value's data, which the value
    // object keeps for its first read.
    static EnumerationCursor::Step Deliver(IRegistryKey* parent, DWORD index, IDispatch** child);
};

} // namespace registry
