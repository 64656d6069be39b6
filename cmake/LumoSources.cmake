# Sources of the native library, by subsystem.
set(LUMO_SOURCES
    src/core/SharedObject.cpp
    src/core/WeakRef.cpp
    src/core/DataBuffer.cpp
    src/core/NativeImage.cpp
    src/native/HandleRegistry.cpp
    src/native/BufferEntryPoints.cpp
    src/native/DeviceEntryPoints.cpp
    src/ops/LookupTables.cpp
    src/ops/BlurConstants.cpp
    src/device/Startup.cpp
    src/device/MemorySurface.cpp
)

# The platform layer: Linux stands in for GDI with memory surfaces.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    list(APPEND LUMO_SOURCES
        src/device/PlatformLinux.cpp
        src/native/MemoryDeviceEntryPoints.cpp)
endif()
