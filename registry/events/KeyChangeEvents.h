#pragma once

#include "WindowsRegistry.h"

#include <windows.h>
#include <ocidl.h>

namespace registry {

// The change event of a key: its connection point and the notification that feeds it.
class KeyChangeEvents {
public:
    // container: the key itself (not AddRef'd; the connection point forwards its reference
    // counting to it and hands it out from GetConnectionPointContainer).
    explicit KeyChangeEvents(IConnectionPointContainer* container);
    ~KeyChangeEvents(); // calls Stop()
    KeyChangeEvents(const KeyChangeEvents&) = delete;
    KeyChangeEvents& operator=(const KeyChangeEvents&) = delete;

    void SetKeyHandle(HKEY key); // the key's open handle, set once after opening
    HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** result);
    HRESULT EnumConnectionPoints(IEnumConnectionPoints** result);
    void Stop(); // the key calls this in its destructor after RegCloseKey

private:
    IConnectionPointContainer* container_;
    HKEY key_ = nullptr;
};

} // namespace registry
