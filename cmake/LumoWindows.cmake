# lumo.dll for 32-bit and 64-bit Windows, cross-compiled with MinGW-w64 from the
# same sources as the Linux library (toolchain files in cmake/toolchains/,
# driven by scripts/windows.sh).
#
# The drawing code needs AGG's compiled parts (arcs, transforms, image
# filters, line-pattern tables), which exist here only as a Linux archive. Given
# an AGG 2.4 source tree in LUMO_AGG_SOURCE_DIR, the few of its sources that
# lumo links (LUMO_AGG_COMPILED_PARTS) are compiled for the target and the DLL
# holds everything. Without it every source is still compiled for the target,
# so that a portability fault fails the build, but the DLL is linked only from
# the sources that need no compiled AGG code.

set(LUMO_AGG_SOURCE_DIR "" CACHE PATH
    "AGG 2.4 source tree whose compiled parts (some of src/*.cpp) are built into lumo.dll")
set(LUMO_AGG_INCLUDE_DIR /usr/include/agg2 CACHE PATH
    "AGG headers used when LUMO_AGG_SOURCE_DIR is not set")

# The sources of AGG's src/ folder that define what lumo calls: nothing else
# of the tree is compiled (some of the rest, such as the outline renderer's
# line profile, does not compile with current compilers).
set(LUMO_AGG_COMPILED_PARTS
    arc              # arcs of rounded rectangles
    bezier_arc       # elliptical arcs as curves
    image_filters    # image filter weights
    line_aa_basics   # line patterns
    rounded_rect
    sqrt_tables      # line patterns
    trans_affine)

if(LUMO_AGG_SOURCE_DIR)
    set(lumo_agg_headers "${LUMO_AGG_SOURCE_DIR}/include")
    set(LUMO_AGG_COMPILED_SOURCES "")
    foreach(part IN LISTS LUMO_AGG_COMPILED_PARTS)
        list(APPEND LUMO_AGG_COMPILED_SOURCES "${LUMO_AGG_SOURCE_DIR}/src/agg_${part}.cpp")
    endforeach()
    foreach(file "${lumo_agg_headers}/agg_basics.h" ${LUMO_AGG_COMPILED_SOURCES})
        if(NOT EXISTS "${file}")
            message(FATAL_ERROR "LUMO_AGG_SOURCE_DIR (${LUMO_AGG_SOURCE_DIR}) must be an AGG 2.4 "
                "source tree: ${file} is missing")
        endif()
    endforeach()
else()
    set(lumo_agg_headers "${LUMO_AGG_INCLUDE_DIR}")
    if(NOT EXISTS "${lumo_agg_headers}/agg_basics.h")
        message(FATAL_ERROR "No AGG headers in ${lumo_agg_headers}: install libagg-dev or set "
            "LUMO_AGG_SOURCE_DIR")
    endif()
endif()

# jni.h of the build machine's JDK; the Windows definitions it includes
# (jni_md.h) are the project's own. Only these two folders and AGG's are added
# to the target's header search, never the build machine's /usr/include.
find_path(LUMO_JNI_INCLUDE_DIR jni.h
    HINTS "$ENV{JAVA_HOME}/include" /usr/lib/jvm/default-java/include
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)

include(cmake/LumoSources.cmake)

# The 32-bit DLL names its exports in a module-definition file, so the
# compiler's own export directives are switched off there. It is compiled for
# SSE2, with SSE2 arithmetic for floating point: every Windows release since 8
# requires SSE2, and so the SIMD span paths are used there as on 64-bit, and
# floating point rounds as on 64-bit rather than through the x87's 80 bits.
# 32-bit callers keep the stack aligned to 4 bytes only, so functions that
# hold SSE2 values on the stack align it themselves (MinGW's default, made
# explicit).
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(LUMO_WINDOWS_DECORATED_EXPORTS ON)
    add_compile_options(-msse2 -mfpmath=sse -mstackrealign)
else()
    set(LUMO_WINDOWS_DECORATED_EXPORTS OFF)
endif()

function(lumo_windows_library_settings target)
    target_include_directories(${target} PRIVATE
        "${CMAKE_CURRENT_SOURCE_DIR}/src" "${CMAKE_CURRENT_SOURCE_DIR}/src/native/win32")
    # Third-party headers are system headers: their own warnings are not ours.
    target_include_directories(${target} SYSTEM PRIVATE
        "${LUMO_JNI_INCLUDE_DIR}" "${lumo_agg_headers}")
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(LUMO_WINDOWS_DECORATED_EXPORTS)
        target_compile_definitions(${target} PRIVATE "JNIEXPORT=")
    endif()
endfunction()

# Everything but the drawing code, and without Linux's memory-surface stand-in.
set(lumo_base ${LUMO_SOURCES})
list(REMOVE_ITEM lumo_base ${LUMO_DRAWING_SOURCES} src/device/MemorySurface.cpp)
add_library(lumo_objects OBJECT ${lumo_base})
lumo_windows_library_settings(lumo_objects)
set(lumo_linked $<TARGET_OBJECTS:lumo_objects>)
set(lumo_unlinked "")

if(LUMO_DRAWING_SOURCES)
    add_library(lumo_drawing_objects OBJECT ${LUMO_DRAWING_SOURCES})
    lumo_windows_library_settings(lumo_drawing_objects)
    if(LUMO_AGG_SOURCE_DIR)
        list(APPEND lumo_linked $<TARGET_OBJECTS:lumo_drawing_objects>)
    else()
        set(lumo_unlinked $<TARGET_OBJECTS:lumo_drawing_objects>)
    endif()
endif()

if(LUMO_AGG_SOURCE_DIR)
    # AGG's own code, built as it comes.
    add_library(lumo_agg_objects OBJECT ${LUMO_AGG_COMPILED_SOURCES})
    target_include_directories(lumo_agg_objects PRIVATE "${lumo_agg_headers}")
    target_compile_options(lumo_agg_objects PRIVATE -w)
endif()

add_library(lumo SHARED ${lumo_linked})
if(LUMO_AGG_SOURCE_DIR)
    target_sources(lumo PRIVATE $<TARGET_OBJECTS:lumo_agg_objects>)
endif()
set_target_properties(lumo PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}")
target_link_libraries(lumo PRIVATE gdi32)
# The C++ runtime, libgcc and winpthreads go into the DLL, so that it needs
# nothing but Windows' own DLLs; only the entry points are exported, and the
# symbol tables are stripped.
target_link_options(lumo PRIVATE -static -static-libgcc -static-libstdc++
    -Wl,--no-undefined -Wl,--exclude-all-symbols -s)

if(LUMO_WINDOWS_DECORATED_EXPORTS)
    set(lumo_def "${CMAKE_CURRENT_BINARY_DIR}/lumo.def")
    add_custom_command(OUTPUT "${lumo_def}"
        COMMAND "${CMAKE_COMMAND}" "-DNM=${CMAKE_NM}" "-DOBJECTS=${lumo_linked}"
            "-DOUTPUT=${lumo_def}" -P "${CMAKE_CURRENT_SOURCE_DIR}/cmake/WindowsExports.cmake"
        DEPENDS ${lumo_linked} "${CMAKE_CURRENT_SOURCE_DIR}/cmake/WindowsExports.cmake"
        COMMENT "Naming the exports of the 32-bit lumo.dll"
        VERBATIM)
    target_sources(lumo PRIVATE "${lumo_def}")
endif()

enable_testing()
if(LUMO_BUILD_TESTS)
    add_subdirectory(tests/windows)
endif()
