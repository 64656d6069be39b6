// Entry points that create, copy and delete drawing objects and set their
// hints, transform, paint, stroke and composite.
#include "core/Colour.h"
#include "core/NativeImage.h"
#include "native/ArrayPins.h"
#include "native/EntryGuard.h"
#include "native/EntryPoints.h"
#include "native/GraphicsHandles.h"
#include "paint/SolidPaint.h"

using namespace lumo;

namespace {

// createGraphics and cloneGraphics are one function: on a render target it
// makes a new drawing object, on a drawing object a copy.
jint createOrClone(jint handle) {
    HandleRegistry& registry = HandleRegistry::instance();
    const auto entry =
        registry.find(handle, kindMask(HandleKind::NativeImage, HandleKind::Graphics));
    Graphics* graphics = nullptr;
    if (entry.kind == HandleKind::NativeImage) {
        graphics = Graphics::create(*static_cast<NativeImage*>(entry.object));
    } else if (entry.kind == HandleKind::Graphics) {
        graphics = static_cast<Graphics*>(entry.object)->clone();
    }
    if (graphics == nullptr) return 0;
    const jint result = registry.add(HandleKind::Graphics, graphics);
    if (result == 0) delete graphics;
    return result;
}

}  // namespace

LUMO_ENTRY(jint, createGraphics)(JNIEnv*, jclass, jint image) {
    return guarded<jint>(0, [&] { return createOrClone(image); });
}

LUMO_ENTRY(jint, cloneGraphics)(JNIEnv*, jclass, jint graphics) {
    return guarded<jint>(0, [&] { return createOrClone(graphics); });
}

LUMO_ENTRY(void, deleteGraphics)(JNIEnv*, jclass, jint handle) {
    guarded([&] {
        const auto entry =
            HandleRegistry::instance().remove(handle, kindMask(HandleKind::Graphics));
        delete static_cast<Graphics*>(entry.object);
    });
}

// setHint and setHintValue are one behaviour under two names.
LUMO_ENTRY(void, setHint)(JNIEnv*, jclass, jint handle, jint key, jint value) {
    guarded([&] {
        if (Graphics* g = findGraphics(handle)) g->state().setHint(key, value);
    });
}

LUMO_ENTRY(void, setHintValue)(JNIEnv* env, jclass cls, jint handle, jint key, jint value) {
    Java_com_quarn_lumo_internal_LUMO_setHint(env, cls, handle, key, value);
}

// A null matrix restores the identity; one with fewer than six values
// changes nothing.
LUMO_ENTRY(void, setTransform)(JNIEnv* env, jclass, jint handle, jdoubleArray matrix) {
    guarded([&] {
        Graphics* g = findGraphics(handle);
        if (g == nullptr) return;
        if (matrix == nullptr) return g->state().setTransform(nullptr);
        const int64_t length = arrayLength(env, matrix);
        if (length < 6) return;
        ArrayPins pins(env);
        const jdouble* values = pins.read<jdouble>(matrix, 6, length);
        if (values != nullptr) g->state().setTransform(values);
    });
}

LUMO_ENTRY(void, setPaint)(JNIEnv*, jclass, jint handle, jint argb) {
    guarded([&] {
        if (Graphics* g = findGraphics(handle)) {
            SolidPaint::assign(g->state().paint, rgba8FromArgb(argb));
        }
    });
}

LUMO_ENTRY(void, setComposite)(JNIEnv*, jclass, jint handle, jint rule, jfloat alpha) {
    guarded([&] {
        if (Graphics* g = findGraphics(handle)) {
            replaceIfBuilt(g->state().composite,
                           Composite::create(compositeRuleFromJava(rule), alpha));
        }
    });
}

LUMO_ENTRY(void, setStroke)
(JNIEnv* env, jclass, jint handle, jfloat width, jint cap, jint join, jfloat miterLimit,
 jfloatArray dash, jfloat dashPhase) {
    guarded([&] {
        Graphics* g = findGraphics(handle);
        if (g == nullptr) return;
        const int64_t count = arrayLength(env, dash);
        ArrayPins pins(env);
        const jfloat* dashes = count > 0 ? pins.read<jfloat>(dash, count, count) : nullptr;
        if (!pins.ok()) return;
        replaceIfBuilt(g->state().stroke,
                       StrokeStyle::create(width, cap, join, miterLimit, dashes,
                                           dashes != nullptr ? uint32_t(count) : 0, dashPhase));
    });
}
