# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers (posix threads).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LUMO_MINGW_TRIPLE x86_64-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake")
