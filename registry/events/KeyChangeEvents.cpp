#include "events/KeyChangeEvents.h"

#include <olectl.h>

namespace registry {

// Placeholder until the change event exists: no connection point is offered yet.
KeyChangeEvents::KeyChangeEvents(IConnectionPointContainer* container) : container_(container) {}

KeyChangeEvents::~KeyChangeEvents() {
    Stop();
}

void KeyChangeEvents::SetKeyHandle(HKEY key) {
    key_ = key;
}

HRESULT KeyChangeEvents::FindConnectionPoint(REFIID, IConnectionPoint** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    return CONNECT_E_NOCONNECTION;
}

HRESULT KeyChangeEvents::EnumConnectionPoints(IEnumConnectionPoints** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    return E_NOTIMPL;
}

void KeyChangeEvents::Stop() {}

} // namespace registry
