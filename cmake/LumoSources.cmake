# Sources of the native library, by subsystem.

# Pixel buffers, render targets, handles, lookup tables, pixel-array operations
# and device output: code that needs no compiled part of AGG (headers only).
set(LUMO_BASE_SOURCES
    src/core/SharedObject.cpp
    src/core/WeakRef.cpp
    src/core/DataBuffer.cpp
    src/core/NativeImage.cpp
    src/core/HandleRegistry.cpp
    src/native/BufferEntryPoints.cpp
    src/native/DeviceEntryPoints.cpp
    src/core/LookupTables.cpp
    src/ops/BlurConstants.cpp
    src/device/Startup.cpp
    src/device/MemorySurface.cpp
    src/image/RenderTargetImage.cpp
    src/image/SwtRowReaders.cpp
    src/image/AwtRowReaders.cpp
    src/image/CreateRowReader.cpp
    src/image/SwtImageInfo.cpp
    src/ops/PixelRegion.cpp
    src/ops/PixelFilters.cpp
    src/ops/GaussianBlur.cpp
    src/ops/PixelConversion.cpp
    src/blend/CompositeRule.cpp
    src/ops/ArrayCompositing.cpp
    src/native/FilterEntryPoints.cpp
    src/native/BlurEntryPoints.cpp
    src/native/ConversionEntryPoints.cpp
    src/native/ComposeEntryPoints.cpp
)

# Drawing: shapes, strokes, paints and images. These link against AGG's
# compiled parts (curves, stroke and dash generators, arcs, transforms).
set(LUMO_DRAWING_SOURCES
    src/coverage/EdgeStore.cpp
    src/coverage/CoverageGrid.cpp
    src/coverage/SparseCells.cpp
    src/coverage/SweepRasterizer.cpp
    src/blend/BlendFunctions.cpp
    src/blend/BlendSpans.cpp
    src/blend/OverSpans.cpp
    src/blend/IndexedOverSpans.cpp
    src/blend/OverImageRow.cpp
    src/blend/CompositePixelFormat.cpp
    src/render/GraphicsState.cpp
    src/context/Graphics.cpp
    src/context/Clipping.cpp
    src/coverage/RectilinearCoverage.cpp
    src/coverage/CoverageScratch.cpp
    src/geometry/StrokeStyle.cpp
    src/paint/Composite.cpp
    src/render/PaintRenderer.cpp
    src/render/SolidRenderer.cpp
    src/paint/GradientPaint.cpp
    src/paint/GradientStops.cpp
    src/paint/ColourTable.cpp
    src/span/ConicAngle.cpp
    src/span/FocalRadial.cpp
    src/span/RadialIndexTable.cpp
    src/span/GradientSpanGenerator.cpp
    src/render/GradientRenderer.cpp
    src/native/PaintEntryPoints.cpp
    src/native/GraphicsEntryPoints.cpp
    src/native/ShapeEntryPoints.cpp
    src/native/ClipEntryPoints.cpp
    src/native/PathEntryPoints.cpp
    src/geometry/PathShape.cpp
    src/geometry/TransformKind.cpp
    src/span/ImageRowSource.cpp
    src/span/FilterWeights.cpp
    src/span/ImageFilters.cpp
    src/render/ImageRenderer.cpp
    src/render/LinePatternOutline.cpp
    src/coverage/ClipMask.cpp
    src/native/ImageEntryPoints.cpp
)

set(LUMO_SOURCES ${LUMO_BASE_SOURCES} ${LUMO_DRAWING_SOURCES})

# The platform layer: Linux stands in for GDI with memory surfaces.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    list(APPEND LUMO_SOURCES
        src/device/PlatformLinux.cpp
        src/native/MemoryDeviceEntryPoints.cpp)
elseif(WIN32)
    # Windows: GDI device contexts, the performance counter, DllMain.
    list(APPEND LUMO_SOURCES src/device/PlatformWindows.cpp)
endif()
