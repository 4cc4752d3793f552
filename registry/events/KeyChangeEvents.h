#pragma once

#include "win32common/ComPtr.h"
#include "events/ChangeNotifier.h"
#include "events/SinkSlotList.h"

#include <windows.h>
#include <ocidl.h>

#include "WindowsRegistry.h"

namespace registry {

// The change event of a key: its one connection point (for _IRegistryKeyEvents), the sinks
// connected to it, and the notification that feeds them. Lives inside the key and runs on the
// key's thread; only the notification's worker runs elsewhere.
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
    void Stop(); // the key calls this in its destructor, before it closes its handle

private:
    class Point final : public IConnectionPoint {
    public:
        explicit Point(KeyChangeEvents& owner) : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;
        HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
        HRESULT STDMETHODCALLTYPE
        GetConnectionPointContainer(IConnectionPointContainer** result) override;
        HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
        HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
        HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** result) override;

    private:
        KeyChangeEvents& owner_;
    };

    HRESULT Advise(IUnknown* sink, DWORD* cookie);
    HRESULT Unadvise(DWORD cookie);
    HRESULT EnumConnections(IEnumConnections** result);
    HRESULT StartNotification();
    static void OnChange(void* self);
    void Deliver();

    IConnectionPointContainer* container_;
    Point point_;
    HKEY key_ = nullptr;
    SinkSlotList<win32common::ComPtr<IDispatch>> sinks_;
    ChangeNotifier notifier_;
};

} // namespace registry
