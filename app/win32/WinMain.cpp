#include "win32/Program.h"

#include <windows.h>

#include <memory>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // No exception may leave the entry point: end with a failure code instead.
    try {
        auto program = std::make_unique<tidewell::win32::Program>(instance);
        return program->Run();
    } catch (...) {
        return 3;
    }
}
