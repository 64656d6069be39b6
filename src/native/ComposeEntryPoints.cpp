// Entry points that blend a region of one pixel buffer into a region of
// another: by Java composite rule, or by four arithmetic coefficients.
#include "core/DataBuffer.h"
#include "native/ArrayPins.h"
#include "native/EntryGuard.h"
#include "native/EntryPoints.h"
#include "native/PixelRegionArgument.h"
#include "ops/ArrayCompositing.h"

namespace lumo {
namespace {

constexpr int64_t coefficientCount = 4;

// The two distinct buffers of a blend and their regions, already fitted to
// each other and to the memory; `ok` is false when there is nothing to blend.
struct BlendTarget {
    DataBuffer* source = nullptr;
    DataBuffer* destination = nullptr;
    PixelRegion sourceRegion, destinationRegion;
    // Both buffers are there and both layouts fit their memory.
    bool found = false;
    // And the regions have pixels in common.
    bool ok = false;
};

BlendTarget findBlendTarget(JNIEnv* env, jint sourceHandle, jint destinationHandle,
                            jintArray sourceRegion, jintArray destinationRegion) {
    BlendTarget t;
    t.source = findDataBuffer(sourceHandle);
    t.destination = findDataBuffer(destinationHandle);
    if (t.source == nullptr || t.destination == nullptr || t.source == t.destination) return t;
    if (!readPixelRegion(env, sourceRegion, t.sourceRegion) ||
        !readPixelRegion(env, destinationRegion, t.destinationRegion)) {
        return t;
    }
    t.found = layoutFits(t.sourceRegion, pixelCount(*t.source)) &&
              layoutFits(t.destinationRegion, pixelCount(*t.destination));
    t.ok = t.found && fitRegionPair(t.sourceRegion, pixelCount(*t.source), t.destinationRegion,
                                    pixelCount(*t.destination));
    return t;
}

// Runs `blend(source, sourceCount, sourceRegion, destination, ...)` on the
// buffers' memory. Both buffers get their memory (filled with their clear
// colours) once handles and regions are known, even when nothing is blended:
// later operations tell a buffer with memory from one without.
template <class Blend>
void blendBuffers(BlendTarget& t, bool changesDestination, Blend blend) {
    if (!t.found) return;
    const uint32_t* from = pixelsCreatingMemory(*t.source);
    uint32_t* to = pixelsCreatingMemory(*t.destination);
    if (from == nullptr || to == nullptr || !t.ok || !changesDestination) return;
    blend(from, pixelCount(*t.source), t.sourceRegion, to, pixelCount(*t.destination),
          t.destinationRegion);
}

}  // namespace
}  // namespace lumo

using namespace lumo;

LUMO_ENTRY(void, compose__III_3I_3I)
(JNIEnv* env, jclass, jint rule, jint sourceHandle, jint destinationHandle, jintArray sourceRegion,
 jintArray destinationRegion) {
    guarded([&] {
        const auto javaRule = static_cast<int32_t>(rule);
        BlendTarget t =
            findBlendTarget(env, sourceHandle, destinationHandle, sourceRegion, destinationRegion);
        blendBuffers(t, ruleChangesDestination(javaRule),
                     [&](auto&&... args) { composeByRule(javaRule, args...); });
    });
}

LUMO_ENTRY(void, compose__II_3I_3I_3F)
(JNIEnv* env, jclass, jint sourceHandle, jint destinationHandle, jintArray sourceRegion,
 jintArray destinationRegion, jfloatArray coefficients) {
    guarded([&] {
        if (!holds(env, coefficients, coefficientCount)) return;
        BlendTarget t =
            findBlendTarget(env, sourceHandle, destinationHandle, sourceRegion, destinationRegion);
        if (!t.found) return;
        ArithmeticCoefficients k;
        {
            ArrayPins pins(env);
            const float* values =
                pins.read<float>(coefficients, coefficientCount, coefficientCount);
            if (values == nullptr) return;
            k = ArithmeticCoefficients::fromFloats(values);
        }
        blendBuffers(t, true, [&](auto&&... args) { composeArithmetic(k, args...); });
    });
}
