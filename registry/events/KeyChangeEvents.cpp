#include "events/KeyChangeEvents.h"

#include "com/ErrorInfo.h"
#include "win32common/ComPtr.h"
#include "win32common/Result.h"
#include "events/ConnectionEnumerators.h"

#include <olectl.h>

#include <utility>
#include <vector>

namespace registry {

KeyChangeEvents::KeyChangeEvents(IConnectionPointContainer* container)
    : container_(container), point_(*this) {}

KeyChangeEvents::~KeyChangeEvents() {
    Stop();
}

void KeyChangeEvents::SetKeyHandle(HKEY key) {
    key_ = key;
}

HRESULT KeyChangeEvents::FindConnectionPoint(REFIID iid, IConnectionPoint** result) {
    if (!result) {
        return E_POINTER;
    }
    *result = nullptr;
    if (!IsEqualIID(iid, DIID__IRegistryKeyEvents)) {
        return CONNECT_E_NOCONNECTION;
    }
    point_.AddRef();
    *result = &point_;
    return S_OK;
}

HRESULT KeyChangeEvents::EnumConnectionPoints(IEnumConnectionPoints** result) {
    TIDEWELL_COM_BOUNDARY_BEGIN
    if (!result) {
        return E_POINTER;
    }
    *result = nullptr;
    std::vector<win32common::ComPtr<IConnectionPoint>> points;
    points.emplace_back(&point_);
    return ConnectionPointEnumerator::Create(std::move(points), 0, result);
    TIDEWELL_COM_BOUNDARY_END
}

void KeyChangeEvents::Stop() {
    notifier_.Stop();
}

HRESULT KeyChangeEvents::Advise(IUnknown* sink, DWORD* cookie) {
    TIDEWELL_COM_BOUNDARY_BEGIN
    if (!cookie) {
        return E_POINTER;
    }
    *cookie = 0;
    if (!sink) {
        return E_POINTER;
    }
    win32common::ComPtr<IDispatch> events;
    if (FAILED(sink->QueryInterface(DIID__IRegistryKeyEvents, reinterpret_cast<void**>(&events))) ||
        !events) {
        return CONNECT_E_CANNOTCONNECT;
    }
    const bool first = sinks_.Empty();
    std::uint32_t added = 0;
    if (sinks_.Add(events, &added) !=
        SinkSlotList<win32common::ComPtr<IDispatch>>::AddResult::Added) {
        return CONNECT_E_ADVISELIMIT;
    }
    if (first) {
        HRESULT hr = StartNotification();
        if (FAILED(hr)) {
            bool becameEmpty = false;
            sinks_.Remove(added, &becameEmpty);
            return hr;
        }
    }
    *cookie = added;
    return S_OK;
    TIDEWELL_COM_BOUNDARY_END
}

HRESULT KeyChangeEvents::Unadvise(DWORD cookie) {
    TIDEWELL_COM_BOUNDARY_BEGIN
    bool becameEmpty = false;
    std::optional<win32common::ComPtr<IDispatch>> sink = sinks_.Remove(cookie, &becameEmpty);
    if (!sink) {
        return CONNECT_E_NOCONNECTION;
    }
    if (becameEmpty) {
        Stop();
    }
    // The sink is released last, once the list no longer knows it: its Release may call back.
    sink.reset();
    return S_OK;
    TIDEWELL_COM_BOUNDARY_END
}

HRESULT KeyChangeEvents::EnumConnections(IEnumConnections** result) {
    TIDEWELL_COM_BOUNDARY_BEGIN
    if (!result) {
        return E_POINTER;
    }
    *result = nullptr;
    std::vector<std::pair<win32common::ComPtr<IUnknown>, DWORD>> connections;
    for (auto& [cookie, sink] : sinks_.Snapshot()) {
        connections.emplace_back(win32common::ComPtr<IUnknown>(sink.Get()), cookie);
    }
    return ConnectionEnumerator::Create(std::move(connections), 0, result);
    TIDEWELL_COM_BOUNDARY_END
}

HRESULT KeyChangeEvents::StartNotification() {
    ChangeNotifier::Step failed = ChangeNotifier::Step::Window;
    DWORD error = notifier_.Start(key_, &KeyChangeEvents::OnChange, this, &failed);
    if (error == ERROR_SUCCESS) {
        return S_OK;
    }
    switch (failed) {
    case ChangeNotifier::Step::Window:
        return ReportSystemError(CLSID_RegistryKey, error, L"Error creating window");
    case ChangeNotifier::Step::Event:
        return ReportSystemError(CLSID_RegistryKey, error,
                                 L"Error creating the registry change notification event");
    case ChangeNotifier::Step::Thread:
        break;
    }
    return ReportSystemError(CLSID_RegistryKey, error,
                             L"Error creating the registry change notification thread");
}

void KeyChangeEvents::OnChange(void* self) {
    try {
        static_cast<KeyChangeEvents*>(self)->Deliver();
    } catch (...) {
        // Nothing may leave the window procedure; a change that cannot be delivered is lost.
    }
}

void KeyChangeEvents::Deliver() {
    // A sink may release the last reference to the key from its handler: the key, and this
    // object with it, must outlive the loop.
    win32common::ComPtr<IConnectionPointContainer> keepAlive(container_);
    // Asked before the sinks run: a sink that reacts by writing into the key must be heard.
    notifier_.Rearm();
    std::vector<std::pair<std::uint32_t, win32common::ComPtr<IDispatch>>> sinks = sinks_.Snapshot();
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    for (auto& [cookie, sink] : sinks) {
        sink->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr,
                     nullptr);
    }
}

HRESULT STDMETHODCALLTYPE KeyChangeEvents::Point::QueryInterface(REFIID iid, void** result) {
    if (!result) {
        return E_POINTER;
    }
    *result = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        AddRef();
        *result = static_cast<IConnectionPoint*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE KeyChangeEvents::Point::AddRef() {
    return owner_.container_->AddRef();
}

ULONG STDMETHODCALLTYPE KeyChangeEvents::Point::Release() {
    return owner_.container_->Release();
}

HRESULT STDMETHODCALLTYPE KeyChangeEvents::Point::GetConnectionInterface(IID* iid) {
    if (!iid) {
        return E_POINTER;
    }
    *iid = DIID__IRegistryKeyEvents;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE
KeyChangeEvents::Point::GetConnectionPointContainer(IConnectionPointContainer** result) {
    if (!result) {
        return E_POINTER;
    }
    owner_.container_->AddRef();
    *result = owner_.container_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE KeyChangeEvents::Point::Advise(IUnknown* sink, DWORD* cookie) {
    return owner_.Advise(sink, cookie);
}

HRESULT STDMETHODCALLTYPE KeyChangeEvents::Point::Unadvise(DWORD cookie) {
    return owner_.Unadvise(cookie);
}

HRESULT STDMETHODCALLTYPE KeyChangeEvents::Point::EnumConnections(IEnumConnections** result) {
    return owner_.EnumConnections(result);
}

} // namespace registry
