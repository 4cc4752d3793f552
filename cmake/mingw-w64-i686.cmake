# Cross toolchain for the 32-bit library (i686, posix threads like the x86_64 build), for 32-bit
# automation clients.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
# widl's importlib search path: Wine's own 32-bit type libraries (stdole2.tlb).
set(TIDEWELL_WINE_TYPELIB_DIR /usr/lib/i386-linux-gnu/wine/i386-windows)
# A host that cannot run 32-bit programs has no 32-bit Wine: the 64-bit stdole2.tlb gives widl the
# same types (the type library it makes differs only in its time stamp).
if(NOT EXISTS ${TIDEWELL_WINE_TYPELIB_DIR}/stdole2.tlb)
    set(TIDEWELL_WINE_TYPELIB_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
endif()

set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# A .def file names exports undecorated; on x86 the __stdcall entry points are decorated (@N) and
# the linker matching them is what is wanted, not a warning.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-Wl,--enable-stdcall-fixup")
