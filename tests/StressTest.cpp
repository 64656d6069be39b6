// Many threads at once through the entry points: drawers paint their own
// targets and pixel buffers with every paint, clip, stroke, transform and
// composite, reading render targets other threads shared with them, while
// churners create and delete objects, retire shared sources that paints still
// hold and call entry points on handles others have just deleted. Meant for
// the sanitizer builds, where a race, a use after free or a leak fails it.
#include "core/DataBuffer.h"
#include "core/HandleRegistry.h"
#include "core/SharedObject.h"
#include "doubles/DrawingTarget.h"
#include "doubles/FakeJni.h"
#include "native/EntryPoints.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <random>
#include <shared_mutex>
#include <string>
#include <thread>
#include <vector>

namespace lumo {
namespace {

#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name
#define DEVICE(name) Java_com_quarn_lumo_internal_MemoryDevice_##name

constexpr jint ruleSrc = 2;
constexpr jint ruleSrcOver = 3;
constexpr jint hintAntialias = 0x1;
constexpr jint hintImageFilter = 0xF800;
constexpr jint drawFill = 0x01, drawStroke = 0x02;
constexpr jbyte moveTo = 0, lineTo = 1, quadTo = 2, cubicTo = 3, closePath = 4;

constexpr int drawers = 3;
constexpr int churners = 2;
constexpr int drawerRounds = 100;
constexpr int churnerRounds = 150;
constexpr int targetSize = 32;
constexpr int sourceSize = 8;
constexpr int bufferSize = 24;
// Sources in the pool beyond which publishers stop adding and churners retire.
constexpr size_t maxSources = 6;
constexpr size_t keptSources = 2;
// Rounds a drawer keeps a texture or line pattern before taking another.
constexpr int heldRounds = 6;

uint32_t opaque(uint32_t rgb) {
    return 0xFF000000u | (rgb & 0xFFFFFFu);
}

// What a thread found wrong: a count and the first few descriptions.
class Faults {
public:
    void check(bool ok, const std::string& what) {
        if (ok) return;
        if (count_++ < 5) messages_ += what + "\n";
    }
    int count() const { return count_; }
    const std::string& messages() const { return messages_; }

private:
    int count_ = 0;
    std::string messages_;
};

// A uniform render target some thread made and then shared for reading. No
// drawing object of it is left, so nobody writes into it any more, though
// the first reads may be the ones that create its pixel memory.
struct Source {
    jint buffer;
    jint image;
    uint32_t colour;
    int owner;
};

// The shared sources. Readers use a source's handles only inside read(); a
// retirement deletes handles under the exclusive lock, so no call can be
// between looking a handle up and taking its reference when it dies.
class SourcePool {
public:
    // Calls use(source) with a random source not published by `reader`,
    // unless there is none.
    template <class Use>
    bool read(int reader, std::minstd_rand& random, Use&& use) {
        std::shared_lock<std::shared_mutex> lock(mutex_);
        std::vector<const Source*> others;
        for (const Source& s : sources_) {
            if (s.owner != reader) others.push_back(&s);
        }
        if (others.empty()) return false;
        use(*others[random() % others.size()]);
        return true;
    }
    bool publish(const Source& source) {
        std::unique_lock<std::shared_mutex> lock(mutex_);
        if (sources_.size() >= maxSources) return false;
        sources_.push_back(source);
        return true;
    }
    // Deletes the oldest sources down to `keep`, in either order of image
    // and buffer; returns their now dead handles.
    std::vector<jint> retire(size_t keep) {
        std::unique_lock<std::shared_mutex> lock(mutex_);
        std::vector<jint> dead;
        while (sources_.size() > keep) {
            const Source s = sources_.front();
            sources_.erase(sources_.begin());
            if (s.colour & 1) {
                LUMO(deleteNativeImage)(nullptr, nullptr, s.image);
                LUMO(deleteDataBuffer)(nullptr, nullptr, s.buffer);
            } else {
                LUMO(deleteDataBuffer)(nullptr, nullptr, s.buffer);
                LUMO(deleteNativeImage)(nullptr, nullptr, s.image);
            }
            dead.push_back(s.image);
            dead.push_back(s.buffer);
        }
        return dead;
    }

private:
    std::shared_mutex mutex_;
    std::vector<Source> sources_;
};

// Handles any thread has deleted, for others to call entry points on.
class Graveyard {
public:
    void bury(const std::vector<jint>& handles) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (jint h : handles) {
            if (handles_.size() < capacity) {
                handles_.push_back(h);
            } else {
                handles_[next_++ % capacity] = h;
            }
        }
    }
    std::vector<jint> sample(size_t n, std::minstd_rand& random) {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<jint> picked;
        for (size_t i = 0; i < n && !handles_.empty(); ++i) {
            picked.push_back(handles_[random() % handles_.size()]);
        }
        return picked;
    }

private:
    static constexpr size_t capacity = 256;
    std::mutex mutex_;
    std::vector<jint> handles_;
    size_t next_ = 0;
};

bool dead(jint handle) {
    return HandleRegistry::instance().find(handle, 0xFF).object == nullptr;
}

// The pixel word at (x, y) counted from the bottom row, as regions count.
uint32_t word(jint buffer, int x, int y) {
    DataBuffer* b = HandleRegistry::instance().find<DataBuffer>(buffer, HandleKind::DataBuffer);
    return b != nullptr && b->hasPixels() ? b->pixels()[y * b->width() + x] : 0;
}

// One thread that draws: its own target, its own two pixel buffers, and
// every few rounds a new source it shares.
class Drawer {
public:
    Drawer(int id, SourcePool& pool, Graveyard& graveyard)
        : id_(id),
          random_(uint32_t(1000 + id)),
          pool_(pool),
          graveyard_(graveyard),
          target_(targetSize, targetSize) {
        for (jint& b : buffers_)
            b = LUMO(createDataBuffer)(nullptr, nullptr, bufferSize, bufferSize, jint(0xFF000000));
        makeArrays();
        textured_ = LUMO(cloneGraphics)(nullptr, nullptr, g());
        patterned_ = LUMO(cloneGraphics)(nullptr, nullptr, g());
        LUMO(setHint)(nullptr, nullptr, patterned_, hintImageFilter, 0);
        publish();
    }
    ~Drawer() {
        LUMO(deleteGraphics)(nullptr, nullptr, textured_);
        LUMO(deleteGraphics)(nullptr, nullptr, patterned_);
        for (jint b : buffers_) LUMO(deleteDataBuffer)(nullptr, nullptr, b);
    }

    void run(int rounds) {
        for (int i = 0; i < rounds; ++i) {
            jni_.clearEvents();
            solidAndClip();
            gradients();
            outlines();
            texture(i);
            linePattern(i);
            images();
            clone();
            pixelOperations();
            if (i % 4 == id_ % 4) publish();
        }
        faults_.check(jni_.pinned() == 0, "arrays left pinned");
        faults_.check(jni_.violations() == 0, "JNI calls inside a critical region");
    }

    const Faults& faults() const { return faults_; }

private:
    JNIEnv* env() { return jni_.env(); }
    jint g() const { return target_.g; }
    uint32_t colour() { return opaque(random_()); }

    jdoubleArray doubles(std::vector<double> values) {
        return static_cast<jdoubleArray>(jni_.array(values));
    }
    jfloatArray floats(std::vector<float> values) {
        return static_cast<jfloatArray>(jni_.array(values));
    }

    // Arrays are made once: the fake environment finds them by a linear search.
    void makeArrays() {
        rotations_ = {doubles({0.8, 0.6, -0.6, 0.8, 12, -4}), doubles({1.5, 0, 0.3, 0.7, -3, 2}),
                      doubles({-1, 0, 0, 1, targetSize, 0})};
        rectangleClip_ = doubles({0, 0, 16, 16});
        triangleTypes_ = jni_.bytes({moveTo, lineTo, lineTo, closePath});
        triangleCoords_ = doubles({2, 2, 30, 4, 8, 28});
        pathTypes_ = jni_.bytes({moveTo, lineTo, quadTo, cubicTo, closePath, moveTo, lineTo});
        pathCoords_ = doubles({1, 1, 20, 3, 28, 10, 25, 25, 18, 30, 10, 20, 5, 5, 3, 29, 29, 3});
        xs_ = jni_.ints({3, 28, 25, 6, 16});
        ys_ = jni_.ints({4, 6, 27, 22, 12});
        dashes_ = floats({4, 2, 1, 3});
        gradientPoints_ = doubles({2, 2, 30, 20, 12, 10});
        gradientStops_ = jni_.ints({0, 128, 255});
        gradientColours_ = jni_.ints({jint(0xFFFF0000), jint(0x8000FF00), jint(0xFF0000FF)});
        sameColours_ = jni_.ints({jint(0xFF336699), jint(0xFF336699), jint(0xFF336699)});
        swtInfo_ = jni_.ints({0, 4, 4, 8, 4, -1, -1});
        swtData_ = jni_.bytes({0, 1, 2, 3, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3});
        swtPalette_ = jni_.ints({0x102030, 0x405060, 0x708090, 0xA0B0C0});
        swtAlpha_ = jni_.bytes(std::vector<jbyte>(16, jbyte(0xC0)));
        awtIntInfo_ = jni_.ints({0, 3, 3, 32, 12, 0, 1});
        awtInts_ = jni_.ints(std::vector<jint>(9, 0x00ABCDEF));
        awtByteInfo_ = jni_.ints({0, 3, 3, 24, 9, 0, 5});
        awtBytes_ = jni_.bytes(std::vector<jbyte>(27, 0x40));
        awtShortInfo_ = jni_.ints({0, 3, 3, 16, 6, 0, 8});
        awtShorts_ = jni_.shorts(std::vector<jshort>(9, jshort(0xF81F)));
        imageAt_ = doubles({1, 0, 0, 1, 20, 20});
        textureAt_ = doubles({1, 0, 0, 1, 3, 5});
        whole_ = jni_.ints({0, 0, bufferSize, bufferSize, bufferSize, bufferSize});
        corner_ = jni_.ints({2, 2, 8, 8, bufferSize, bufferSize});
        identityMatrix_ = floats({1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0});
        std::vector<jbyte> ramp(256);
        for (int i = 0; i < 256; ++i) ramp[i] = jbyte(i);
        identityTable_ = jni_.bytes(ramp);
        straight_ = jni_.ints({jint(0x80FF0000), jint(0xFF00FF00), 0, jint(0x40FFFFFF)});
        straightRegion_ = jni_.ints({0, 0, 4, 1, 4, 1});
        decoded_ = jni_.ints(std::vector<jint>(16));
        copyCoefficients_ = floats({0, 1, 0, 0});
    }

    // Everything back to defaults: identity, no clip, source-over, no paint
    // other than what the caller sets next.
    void resetState() {
        LUMO(setTransform)(env(), nullptr, g(), nullptr);
        LUMO(setClip)(env(), nullptr, g(), 0, nullptr, nullptr, false);
        LUMO(setComposite)(nullptr, nullptr, g(), ruleSrcOver, 1.0f);
        LUMO(setStroke)(env(), nullptr, g(), 1.0f, 0, 0, 10.0f, nullptr, 0.0f);
    }

    void solidAndClip() {
        resetState();
        LUMO(setHint)(nullptr, nullptr, g(), hintAntialias, jint(random_() & 1));
        const uint32_t background = colour();
        LUMO(setPaint)(nullptr, nullptr, g(), jint(background));
        LUMO(fillRect)(nullptr, nullptr, g(), 0, 0, targetSize, targetSize);
        faults_.check(target_.at(0, 0) == background && target_.at(31, 31) == background,
                      "solid fill");

        // A rectangle clip keeps the fill inside it.
        const uint32_t inside = colour();
        LUMO(setClip)(env(), nullptr, g(), 4, nullptr, rectangleClip_, false);
        LUMO(setPaint)(nullptr, nullptr, g(), jint(inside));
        LUMO(fillRect)(nullptr, nullptr, g(), 0, 0, targetSize, targetSize);
        faults_.check(target_.at(5, 5) == inside && target_.at(20, 20) == background,
                      "rectangle clip");

        // A path clip, then every shape through it.
        LUMO(setClip)(env(), nullptr, g(), 4, triangleTypes_, triangleCoords_, random_() & 1);
        LUMO(setPaint)(nullptr, nullptr, g(), jint(colour()));
        LUMO(fillOval)(nullptr, nullptr, g(), 0, 0, 30, 20);
        LUMO(fillArc)(nullptr, nullptr, g(), 2, 2, 28, 28, 30, 200);
        LUMO(fillRoundRect)(nullptr, nullptr, g(), 4, 4, 20, 20, 6, 6);
        LUMO(fillPolygon)(env(), nullptr, g(), 5, xs_, ys_);
        faults_.check(target_.at(31, 31) == background, "path clip");
    }

    void gradients() {
        resetState();
        // Stops all of one colour give it everywhere, whatever the geometry.
        const jint kind = (random_() & 1) ? 1 : 2;
        const jdoubleArray m = rotations_[random_() % rotations_.size()];
        LUMO(setGradient)
        (env(), nullptr, g(), kind, jint(random_() % 3), gradientPoints_, gradientStops_,
         sameColours_, m);
        LUMO(fillRect)(nullptr, nullptr, g(), 0, 0, targetSize, targetSize);
        faults_.check(target_.at(10, 10) == 0xFF336699u, "one-colour gradient");

        LUMO(setGradient)
        (env(), nullptr, g(), kind, jint(random_() % 3), gradientPoints_, gradientStops_,
         gradientColours_, m);
        LUMO(setTransform)(env(), nullptr, g(), rotations_[0]);
        LUMO(fillOval)(nullptr, nullptr, g(), 0, 0, 24, 16);
        LUMO(drawPath)(env(), nullptr, g(), 7, pathTypes_, pathCoords_, random_() & 1, drawFill);
    }

    void outlines() {
        resetState();
        LUMO(setTransform)(env(), nullptr, g(), rotations_[random_() % rotations_.size()]);
        LUMO(setStroke)
        (env(), nullptr, g(), 1.0f + float(random_() % 5), jint(random_() % 3), jint(random_() % 3),
         4.0f, (random_() & 1) ? dashes_ : nullptr, float(random_() % 7));
        LUMO(setComposite)
        (nullptr, nullptr, g(), jint(1 + random_() % 26), 0.25f + float(random_() % 4) / 4);
        LUMO(setPaint)(nullptr, nullptr, g(), jint(random_()));
        LUMO(drawLine)(nullptr, nullptr, g(), 1, 1, 30, 17);
        LUMO(drawRect)(nullptr, nullptr, g(), 3, 3, 20, 12);
        LUMO(drawOval)(nullptr, nullptr, g(), 4, 2, 22, 26);
        LUMO(drawArc)(nullptr, nullptr, g(), 0, 0, 30, 30, 45, 270);
        LUMO(drawRoundRect)(nullptr, nullptr, g(), 2, 6, 26, 18, 8, 4);
        LUMO(drawPolygon)(env(), nullptr, g(), 5, xs_, ys_);
        LUMO(drawPolyline)(env(), nullptr, g(), 4, xs_, ys_);
        LUMO(drawPath)(env(), nullptr, g(), 7, pathTypes_, pathCoords_, false, drawStroke);
    }

    // Paints of shared sources are kept on clones of the target's drawing
    // object for several rounds, so churners retire the sources while they
    // are set. A uniform source fills with its own colour under any wrap and
    // filter, and a line pattern of it is as wide as it is high.
    void texture(int round) {
        if (round % heldRounds == 0) {
            pool_.read(id_, random_, [&](const Source& s) {
                LUMO(setHint)(nullptr, nullptr, textured_, hintImageFilter, jint(random_() % 17));
                LUMO(setTexture)
                (env(), nullptr, textured_, s.image, textureAt_, jint(random_() & 0x0303));
                textureColour_ = s.colour;
            });
        }
        if (textureColour_ == 0) return;
        LUMO(setTransform)(env(), nullptr, textured_, nullptr);
        LUMO(setClip)(env(), nullptr, textured_, 0, nullptr, nullptr, false);
        LUMO(fillRect)(nullptr, nullptr, textured_, 0, 0, targetSize, targetSize);
        faults_.check(target_.at(7, 7) == textureColour_, "texture fill");
        LUMO(setTransform)(env(), nullptr, textured_, rotations_[random_() % rotations_.size()]);
        LUMO(setClip)(env(), nullptr, textured_, 4, triangleTypes_, triangleCoords_, false);
        LUMO(setStroke)(env(), nullptr, textured_, 3.0f, 1, 1, 10.0f, dashes_, 1.0f);
        LUMO(drawPath)(env(), nullptr, textured_, 7, pathTypes_, pathCoords_, true, drawStroke);
        LUMO(fillRoundRect)(nullptr, nullptr, textured_, 1, 1, 20, 20, 5, 5);
    }

    void linePattern(int round) {
        if (round % heldRounds == heldRounds / 2) {
            pool_.read(id_, random_, [&](const Source& s) {
                LUMO(setLinePattern)(nullptr, nullptr, patterned_, s.image, 1, 2, 3);
                patternColour_ = s.colour;
            });
        }
        if (patternColour_ == 0) return;
        LUMO(clearDataBuffer)(nullptr, nullptr, target_.buffer, 0);
        LUMO(setClip)(env(), nullptr, patterned_, 0, nullptr, nullptr, false);
        LUMO(drawLine)(nullptr, nullptr, patterned_, 2, 16, 30, 16);
        faults_.check(target_.at(16, 16) == patternColour_ && target_.painted() == 28 * 8,
                      "line pattern");
        LUMO(drawPolyline)(env(), nullptr, patterned_, 5, xs_, ys_);
        LUMO(setClip)(env(), nullptr, patterned_, 4, triangleTypes_, triangleCoords_, true);
        LUMO(drawPolygon)(env(), nullptr, patterned_, 5, xs_, ys_);
    }

    void images() {
        resetState();
        LUMO(setHint)(nullptr, nullptr, g(), hintImageFilter, jint(random_() % 17));
        uint32_t expected = 0;
        const bool drawn = pool_.read(id_, random_, [&](const Source& s) {
            LUMO(drawImage)(env(), nullptr, g(), s.image, imageAt_);
            expected = s.colour;
        });
        if (drawn) faults_.check(target_.at(23, 23) == expected, "render-target image");

        LUMO(setComposite)(nullptr, nullptr, g(), ruleSrc, 1.0f);
        LUMO(drawSWTImage)(env(), nullptr, g(), swtInfo_, nullptr, swtData_, swtPalette_, nullptr);
        faults_.check(target_.at(1, 0) == 0xFF405060u, "SWT image");
        LUMO(drawAWTImage__I_3I_3D_3I)(env(), nullptr, g(), awtIntInfo_, imageAt_, awtInts_);
        faults_.check(target_.at(21, 21) == 0xFFABCDEFu, "AWT int image");
        LUMO(setTransform)(env(), nullptr, g(), rotations_[random_() % rotations_.size()]);
        LUMO(drawSWTImage)
        (env(), nullptr, g(), swtInfo_, rotations_[1], swtData_, swtPalette_, swtAlpha_);
        LUMO(drawAWTImage__I_3I_3D_3B)(env(), nullptr, g(), awtByteInfo_, imageAt_, awtBytes_);
        LUMO(drawAWTImage__I_3I_3D_3S)(env(), nullptr, g(), awtShortInfo_, nullptr, awtShorts_);
    }

    void clone() {
        resetState();
        const jint copy = LUMO(cloneGraphics)(nullptr, nullptr, g());
        const uint32_t c = colour();
        LUMO(setPaint)(nullptr, nullptr, copy, jint(c));
        LUMO(fillRect)(nullptr, nullptr, copy, 0, 0, targetSize, targetSize);
        faults_.check(copy != 0 && target_.at(30, 2) == c, "clone draws on the same target");
        LUMO(deleteGraphics)(nullptr, nullptr, copy);
        faults_.check(dead(copy), "deleted clone");
        graveyard_.bury({copy});
    }

    void pixelOperations() {
        const jint p = buffers_[0], q = buffers_[1];
        const uint32_t base = colour(), patch = colour();
        LUMO(setData)(env(), nullptr, p, whole_, jint(base));
        LUMO(setData)(env(), nullptr, p, corner_, jint(patch));
        faults_.check(word(p, 3, 3) == patch && word(p, 12, 12) == base, "setData");
        LUMO(copyData)(env(), nullptr, p, q, whole_, whole_);
        faults_.check(word(q, 3, 3) == patch && word(q, 20, 1) == base, "copyData");

        LUMO(setData)(env(), nullptr, q, whole_, 0);
        LUMO(compose__III_3I_3I)(env(), nullptr, ruleSrcOver, p, q, corner_, corner_);
        faults_.check(word(q, 4, 4) == patch && word(q, 20, 20) == 0, "compose by rule");
        LUMO(setData)(env(), nullptr, q, whole_, 0);
        LUMO(compose__II_3I_3I_3F)(env(), nullptr, p, q, whole_, whole_, copyCoefficients_);
        faults_.check(word(q, 4, 4) == patch && word(q, 20, 20) == base, "arithmetic compose");

        LUMO(colorMatrix)(env(), nullptr, q, whole_, identityMatrix_, random_() & 1);
        LUMO(applyLut)(env(), nullptr, q, corner_, random_() & 1, random_() & 1);
        LUMO(transColor)
        (env(), nullptr, q, whole_, identityTable_, nullptr, identityTable_, nullptr,
         random_() & 1);
        LUMO(gaussianBlur)(env(), nullptr, q, whole_, 1.5, 0.5, random_() & 1);
        LUMO(coerceData__I_3IZ)(env(), nullptr, q, corner_, random_() & 1);
        LUMO(filterAlpha)(env(), nullptr, p, corner_);
        faults_.check(word(p, 3, 3) == 0xFF000000u && word(p, 12, 12) == base, "filterAlpha");

        // Premultiplying and back restores these straight pixels exactly.
        LUMO(coerceData___3I_3IZ)(env(), nullptr, straight_, straightRegion_, true);
        faults_.check(jni_.contents<jint>(straight_)[0] == jint(0x80800000), "premultiply");
        LUMO(coerceData___3I_3IZ)(env(), nullptr, straight_, straightRegion_, false);
        faults_.check(jni_.contents<jint>(straight_)[0] == jint(0x80FF0000), "unpremultiply");

        LUMO(convertData)(env(), nullptr, decoded_, swtInfo_, swtData_, swtPalette_, nullptr);
        const auto pixels = jni_.contents<jint>(decoded_);
        faults_.check(pixels[1] == jint(0xFF405060) && pixels[15] == jint(0xFFA0B0C0),
                      "convertData");
    }

    // A new uniform source, shared read-only: either drawn while it is still
    // private (its drawing object then deleted) or only cleared to its
    // colour, so that the readers' first use makes its memory. Deleted again
    // if the pool is full.
    void publish() {
        const uint32_t c = colour();
        const bool drawn = random_() & 1;
        Source s{LUMO(createDataBuffer)(nullptr, nullptr, sourceSize, sourceSize, drawn ? 0 : c), 0,
                 c, id_};
        s.image = LUMO(createNativeImage)(nullptr, nullptr, s.buffer);
        if (drawn) {
            const jint painter = LUMO(createGraphics)(nullptr, nullptr, s.image);
            LUMO(setPaint)(nullptr, nullptr, painter, jint(c));
            LUMO(fillRect)(nullptr, nullptr, painter, 0, 0, sourceSize, sourceSize);
            LUMO(deleteGraphics)(nullptr, nullptr, painter);
            faults_.check(word(s.buffer, 7, 7) == c, "source drawn");
            graveyard_.bury({painter});
        }
        if (!pool_.publish(s)) {
            LUMO(deleteNativeImage)(nullptr, nullptr, s.image);
            LUMO(deleteDataBuffer)(nullptr, nullptr, s.buffer);
            graveyard_.bury({s.image, s.buffer});
        }
    }

    const int id_;
    std::minstd_rand random_;
    SourcePool& pool_;
    Graveyard& graveyard_;
    test::FakeJni jni_;
    test::DrawingTarget target_;
    jint buffers_[2] = {};
    jint textured_ = 0, patterned_ = 0;
    uint32_t textureColour_ = 0, patternColour_ = 0;
    Faults faults_;

    jdoubleArray rectangleClip_, triangleCoords_, pathCoords_, gradientPoints_, imageAt_,
        textureAt_;
    std::vector<jdoubleArray> rotations_;
    jbyteArray triangleTypes_, pathTypes_, swtData_, swtAlpha_, awtBytes_, identityTable_;
    jintArray xs_, ys_, gradientStops_, gradientColours_, sameColours_, swtInfo_, swtPalette_,
        awtIntInfo_, awtInts_, awtByteInfo_, awtShortInfo_, whole_, corner_, straight_,
        straightRegion_, decoded_;
    jshortArray awtShorts_;
    jfloatArray dashes_, identityMatrix_, copyCoefficients_;
};

// One thread that churns: retires shared sources, makes and deletes targets,
// drawing objects, clones and devices of its own, and calls entry points on
// handles others have deleted, which must stay dead and do nothing.
class Churner {
public:
    Churner(int id, SourcePool& pool, Graveyard& graveyard)
        : random_(uint32_t(2000 + id)), pool_(pool), graveyard_(graveyard), keeper_(4, 4) {
        out_ = jni_.ints(std::vector<jint>(64));
        region_ = jni_.ints({0, 0, 4, 4, 4, 4});
        matrix_ = static_cast<jdoubleArray>(jni_.array(std::vector<double>{1, 0, 0, 1, 0, 0}));
        types_ = jni_.bytes({moveTo, lineTo, lineTo, closePath});
        coords_ = static_cast<jdoubleArray>(jni_.array(std::vector<double>{0, 0, 4, 0, 0, 4}));
        coefficients_ = static_cast<jfloatArray>(jni_.array(std::vector<float>{0, 1, 0, 0}));
    }

    // Runs at least `rounds` rounds, and on until `stop` is set.
    void run(int rounds, const std::atomic<bool>& stop) {
        for (int i = 0; i < rounds || !stop.load(); ++i) {
            jni_.clearEvents();
            if (i % 3 == 0) graveyard_.bury(pool_.retire(keptSources + random_() % 3));
            ownObjects(i);
            for (jint h : graveyard_.sample(6, random_)) callDead(h);
        }
        faults_.check(jni_.pinned() == 0, "arrays left pinned");
        faults_.check(jni_.violations() == 0, "JNI calls inside a critical region");
    }

    const Faults& faults() const { return faults_; }

private:
    void ownObjects(int round) {
        const uint32_t c = opaque(random_());
        const jint buffer = LUMO(createDataBuffer)(nullptr, nullptr, 8, 8, jint(c));
        const jint image = LUMO(createNativeImage)(nullptr, nullptr, buffer);
        const jint g = LUMO(createGraphics)(nullptr, nullptr, image);
        const jint copy = LUMO(cloneGraphics)(nullptr, nullptr, g);
        const jint hdc = DEVICE(create)(nullptr, nullptr, 8, 8);
        faults_.check(buffer && image && g && copy && hdc, "creation");

        LUMO(setPaint)(nullptr, nullptr, copy, jint(c ^ 0xFFFFFF));
        LUMO(fillOval)(nullptr, nullptr, copy, 2, 2, 4, 4);
        LUMO(SetDIBitsToDevice)(nullptr, nullptr, hdc, image, 0, 0, 8, 8, 0, 0);
        DEVICE(read)(jni_.env(), nullptr, hdc, out_);
        const auto pixels = jni_.contents<jint>(out_);
        faults_.check(pixels[0] == jint(c) && pixels[63] == jint(c), "device copy");

        // Deleted in a different order each round; drawing objects outliving
        // their target draw nothing.
        const std::vector<jint> all = {buffer, image, g, copy, hdc};
        std::vector<jint> order = all;
        std::shuffle(order.begin(), order.end(), random_);
        for (jint h : order) {
            if (h == g || h == copy) {
                LUMO(deleteGraphics)(nullptr, nullptr, h);
            } else if (h == hdc) {
                DEVICE(delete)(nullptr, nullptr, h);
            } else if (round & 1) {
                LUMO(deleteNativeImage)(nullptr, nullptr, h);  // either name drops either kind
            } else {
                LUMO(deleteDataBuffer)(nullptr, nullptr, h);
            }
            LUMO(fillRect)(nullptr, nullptr, copy, 0, 0, 8, 8);
            LUMO(drawImage)(jni_.env(), nullptr, copy, image, nullptr);
        }
        for (jint h : all) faults_.check(dead(h), "own handle dead after delete");
        graveyard_.bury(all);
    }

    // Every kind of call on a handle that is dead; none may revive it or
    // touch what it once named.
    void callDead(jint h) {
        JNIEnv* env = jni_.env();
        faults_.check(dead(h), "buried handle alive");
        faults_.check(LUMO(createNativeImage)(nullptr, nullptr, h) == 0, "image on dead buffer");
        faults_.check(LUMO(createGraphics)(nullptr, nullptr, h) == 0, "graphics on dead image");
        faults_.check(LUMO(cloneGraphics)(nullptr, nullptr, h) == 0, "clone of dead graphics");
        LUMO(setPaint)(nullptr, nullptr, h, 0);
        LUMO(setClip)(env, nullptr, h, 4, types_, coords_, true);
        LUMO(fillRect)(nullptr, nullptr, h, 0, 0, 4, 4);
        LUMO(drawPath)(env, nullptr, h, 4, types_, coords_, true, drawFill);
        LUMO(setTexture)(env, nullptr, keeper_.g, h, matrix_, 0x0101);
        LUMO(setLinePattern)(nullptr, nullptr, keeper_.g, h, 0, 0, 0);
        LUMO(drawImage)(env, nullptr, keeper_.g, h, matrix_);
        LUMO(clearDataBuffer)(nullptr, nullptr, h, 0);
        LUMO(setData)(env, nullptr, h, region_, 0);
        LUMO(gaussianBlur)(env, nullptr, h, region_, 2, 2, false);
        LUMO(copyData)(env, nullptr, h, keeper_.buffer, region_, region_);
        LUMO(compose__II_3I_3I_3F)
        (env, nullptr, keeper_.buffer, h, region_, region_, coefficients_);
        LUMO(SetDIBitsToDevice)(nullptr, nullptr, h, keeper_.image, 0, 0, 4, 4, 0, 0);
        DEVICE(read)(env, nullptr, h, out_);
        LUMO(deleteGraphics)(nullptr, nullptr, h);
        LUMO(deleteNativeImage)(nullptr, nullptr, h);
        LUMO(deleteDataBuffer)(nullptr, nullptr, h);
        DEVICE(delete)(nullptr, nullptr, h);
        faults_.check(dead(h), "dead handle revived");
    }

    std::minstd_rand random_;
    SourcePool& pool_;
    Graveyard& graveyard_;
    test::FakeJni jni_;
    // A live target of this thread's own, for calls that need one.
    test::DrawingTarget keeper_;
    Faults faults_;
    jintArray out_, region_;
    jdoubleArray matrix_, coords_;
    jbyteArray types_;
    jfloatArray coefficients_;
};

// Holds every thread until all have been made, so that they overlap.
class StartLine {
public:
    explicit StartLine(int threads) : waiting_(threads) {}
    void arrive() {
        --waiting_;
        while (waiting_.load() > 0) std::this_thread::yield();
    }

private:
    std::atomic<int> waiting_;
};

TEST(Stress, DrawersAndChurnersShareSourcesAndDeleteUnderEachOther) {
    const uint32_t handlesBefore = HandleRegistry::instance().size();
    const int64_t objectsBefore = SharedObject::liveCount();
    SourcePool pool;
    Graveyard graveyard;
    StartLine start(drawers + churners);
    std::atomic<int> drawing{drawers};
    std::atomic<bool> drawn{false};
    std::vector<std::string> reports(drawers + churners);
    std::atomic<int> faults{0};
    {
        std::vector<std::thread> threads;
        for (int t = 0; t < drawers; ++t) {
            threads.emplace_back([&, t] {
                {
                    Drawer drawer(t, pool, graveyard);
                    start.arrive();
                    drawer.run(drawerRounds);
                    faults += drawer.faults().count();
                    reports[t] = drawer.faults().messages();
                }
                if (--drawing == 0) drawn = true;
            });
        }
        for (int t = 0; t < churners; ++t) {
            threads.emplace_back([&, t] {
                Churner churner(t, pool, graveyard);
                start.arrive();
                churner.run(churnerRounds, drawn);
                faults += churner.faults().count();
                reports[drawers + t] = churner.faults().messages();
            });
        }
        for (auto& thread : threads) thread.join();
    }
    for (int t = 0; t < drawers + churners; ++t) {
        EXPECT_TRUE(reports[t].empty()) << "thread " << t << ":\n" << reports[t];
    }
    EXPECT_EQ(faults.load(), 0);

    pool.retire(0);
    EXPECT_EQ(HandleRegistry::instance().size(), handlesBefore);
    EXPECT_EQ(SharedObject::liveCount(), objectsBefore);
}

// Threads whose first read of a source makes its memory: each must see the
// clear colour, and only one block may be attached (the others freed).
TEST(Stress, ThreadsFirstReadingOneSourceAtOnceShareOneMemory) {
    constexpr int readers = 4;
    constexpr int sources = 40;
    const int64_t objectsBefore = SharedObject::liveCount();
    for (int i = 0; i < sources; ++i) {
        const uint32_t c = opaque(0x102030u * uint32_t(i + 1));
        const jint buffer = LUMO(createDataBuffer)(nullptr, nullptr, 64, 64, jint(c));
        const jint image = LUMO(createNativeImage)(nullptr, nullptr, buffer);
        StartLine start(readers);
        std::atomic<int> wrong{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < readers; ++t) {
            threads.emplace_back([&, t] {
                test::DrawingTarget target(4, 4);
                start.arrive();
                if (t % 2) {
                    LUMO(drawImage)(nullptr, nullptr, target.g, image, nullptr);
                } else {
                    LUMO(setTexture)(nullptr, nullptr, target.g, image, nullptr, 0x0101);
                    LUMO(fillRect)(nullptr, nullptr, target.g, 0, 0, 4, 4);
                }
                wrong += target.at(3, 3) != c;
            });
        }
        for (auto& thread : threads) thread.join();
        EXPECT_EQ(wrong.load(), 0) << "source " << i;
        EXPECT_EQ(word(buffer, 63, 63), c);
        LUMO(deleteNativeImage)(nullptr, nullptr, image);
        LUMO(deleteDataBuffer)(nullptr, nullptr, buffer);
    }
    EXPECT_EQ(SharedObject::liveCount(), objectsBefore);
}

}  // namespace
}  // namespace lumo
