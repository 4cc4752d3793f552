#include "win32/Program.h"

#include <objbase.h>
#include <windows.h>

#include <memory>

namespace {

// The user-interface thread lives in a single-threaded apartment: the startup-entries editor
// creates the registry library's objects there, and the library runs in the caller's apartment.
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    bool Entered() const { return SUCCEEDED(result_); }

private:
    HRESULT result_;
};

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // No exception may leave the entry point: end with a failure code instead.
    try {
        const ComApartment apartment;
        if (!apartment.Entered()) {
            return 2;
        }
        // The program (and every object it holds of the library) goes before the apartment.
        auto program = std::make_unique<tidewell::win32::Program>(instance);
        return program->Run();
    } catch (...) {
        return 3;
    }
}
