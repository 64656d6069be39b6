# Cross build for 32-bit Windows with Debian's MinGW-w64 compilers (posix threads).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(LUMO_MINGW_TRIPLE i686-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake")
