// Entry points that draw and fill the fixed shapes. Int arguments become
// doubles exactly.
#include "native/EntryGuard.h"
#include "native/EntryPoints.h"
#include "native/GraphicsHandles.h"

using namespace lumo;

namespace {

template <class Operation>
void withGraphics(jint handle, Operation&& operation) {
    guarded([&] {
        if (Graphics* g = findGraphics(handle)) operation(*g);
    });
}

}  // namespace

LUMO_ENTRY(void, drawLine)(JNIEnv*, jclass, jint g, jint x1, jint y1, jint x2, jint y2) {
    withGraphics(g, [&](Graphics& graphics) { graphics.drawLine(x1, y1, x2, y2); });
}

LUMO_ENTRY(void, drawRect)(JNIEnv*, jclass, jint g, jint x, jint y, jint w, jint h) {
    withGraphics(g, [&](Graphics& graphics) { graphics.drawRect(x, y, w, h); });
}

LUMO_ENTRY(void, fillRect)(JNIEnv*, jclass, jint g, jint x, jint y, jint w, jint h) {
    withGraphics(g, [&](Graphics& graphics) { graphics.fillRect(x, y, w, h); });
}

LUMO_ENTRY(void, drawOval)(JNIEnv*, jclass, jint g, jint x, jint y, jint w, jint h) {
    withGraphics(g, [&](Graphics& graphics) { graphics.drawOval(x, y, w, h); });
}

LUMO_ENTRY(void, fillOval)(JNIEnv*, jclass, jint g, jint x, jint y, jint w, jint h) {
    withGraphics(g, [&](Graphics& graphics) { graphics.fillOval(x, y, w, h); });
}

LUMO_ENTRY(void, drawArc)
(JNIEnv*, jclass, jint g, jint x, jint y, jint w, jint h, jint start, jint extent) {
    withGraphics(g, [&](Graphics& graphics) { graphics.drawArc(x, y, w, h, start, extent); });
}

LUMO_ENTRY(void, fillArc)
(JNIEnv*, jclass, jint g, jint x, jint y, jint w, jint h, jint start, jint extent) {
    withGraphics(g, [&](Graphics& graphics) { graphics.fillArc(x, y, w, h, start, extent); });
}

LUMO_ENTRY(void, drawRoundRect)
(JNIEnv*, jclass, jint g, jint x, jint y, jint w, jint h, jint arcW, jint arcH) {
    withGraphics(g, [&](Graphics& graphics) { graphics.drawRoundRect(x, y, w, h, arcW, arcH); });
}

LUMO_ENTRY(void, fillRoundRect)
(JNIEnv*, jclass, jint g, jint x, jint y, jint w, jint h, jint arcW, jint arcH) {
    withGraphics(g, [&](Graphics& graphics) { graphics.fillRoundRect(x, y, w, h, arcW, arcH); });
}
