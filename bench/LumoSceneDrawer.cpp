#include "LumoSceneDrawer.h"

#include <cstdio>

namespace lumo_bench {

namespace {

// setHint key of the image filter and its values.
constexpr jint kImageFilterHint = 0xF800;
constexpr jint kNearest = 0, kBilinear = 1, kBicubic = 2;
// setTexture wrap: repeat across (bits 8-11) and down (bits 0-3).
constexpr jint kRepeatBothWays = 0x0101;
// setGradient kinds and cycle.
constexpr jint kRadial = 1, kLinear = 2, kPad = 0;
// drawPath flags.
constexpr jint kFill = 0x01, kStroke = 0x02, kCurves = 0x20, kPolygonal = 0x40;
// Java's BasicStroke caps and joins.
constexpr jint kCapButt = 0, kCapRound = 1, kJoinMiter = 0, kJoinRound = 1;
// Java's AWT image info: direct, width, height, depth, bytes per line,
// premultiplied, kind (TYPE_INT_ARGB_PRE).
constexpr jint kIntArgbPre = 3;

}  // namespace

LumoSceneDrawer::LumoSceneDrawer() : g_(canvas_.graphics()) {
    textureImage_ = makeImage(texturePixels(), kTextureSize, textureBuffer_, texture_);
    imageImage_ = makeImage(imagePixels(), kImageSize, imageBuffer_, image_);
    asArray<jintArray>(positionArray_, positions_, 2);
}

LumoSceneDrawer::~LumoSceneDrawer() {
    LUMO(deleteNativeImage)(nullptr, nullptr, textureImage_);
    LUMO(deleteDataBuffer)(nullptr, nullptr, textureBuffer_);
    LUMO(deleteNativeImage)(nullptr, nullptr, imageImage_);
    LUMO(deleteDataBuffer)(nullptr, nullptr, imageBuffer_);
}

bool LumoSceneDrawer::valid() const {
    return canvas_.valid() && textureImage_ != 0 && imageImage_ != 0;
}

// A render target holding `pixels`, drawn in as an AWT premultiplied int
// raster at the origin onto transparent black.
jint LumoSceneDrawer::makeImage(const std::vector<uint32_t>& pixels, int size, jint& buffer,
                                std::vector<uint32_t>& readBack) {
    buffer = LUMO(createDataBuffer)(nullptr, nullptr, size, size, 0);
    const jint image = LUMO(createNativeImage)(nullptr, nullptr, buffer);
    const jint g = LUMO(createGraphics)(nullptr, nullptr, image);
    if (g == 0) return 0;
    jint info[7] = {0, size, size, 32, size * 4, 1, kIntArgbPre};
    std::vector<jint> data(pixels.begin(), pixels.end());
    BenchArray infoArray, dataArray;
    LUMO(drawAWTImage__I_3I_3D_3I)
    (benchEnv(), nullptr, g, asArray<jintArray>(infoArray, info, 7), nullptr,
     asArray<jintArray>(dataArray, data.data(), data.size()));
    LUMO(deleteGraphics)(nullptr, nullptr, g);
    const std::vector<jint> words = readTarget(image, size, size);
    readBack.assign(words.begin(), words.end());
    if (readBack != pixels) {
        std::printf("warning: the library holds a %dx%d image with other pixels than given\n", size,
                    size);
    }
    return image;
}

std::vector<uint32_t> LumoSceneDrawer::read() {
    const std::vector<jint> words = canvas_.read();
    return std::vector<uint32_t>(words.begin(), words.end());
}

void LumoSceneDrawer::prepare(const Batch& batch, Style style) {
    batch_ = &batch;
    style_ = style;
    const SceneInfo& scene = *batch.scene;
    JNIEnv* env = benchEnv();

    switch (scene.kind) {
        case SceneKind::StrokeRectU:
        case SceneKind::StrokePoly10:
            LUMO(setStroke)(env, nullptr, g_, 3.0f, kCapButt, kJoinMiter, 10.0f, nullptr, 0.0f);
            break;
        case SceneKind::StrokePath:
            LUMO(setStroke)(env, nullptr, g_, 3.0f, kCapRound, kJoinRound, 10.0f, nullptr, 0.0f);
            break;
        case SceneKind::Dash: {
            float dashes[2] = {6.0f, 3.0f};
            BenchArray dashArray;
            LUMO(setStroke)
            (env, nullptr, g_, 2.0f, kCapButt, kJoinMiter, 10.0f,
             asArray<jfloatArray>(dashArray, dashes, 2), 0.0f);
            break;
        }
        default:
            break;
    }
    jint filter = kNearest;
    if (style == Style::TextureBilinear || scene.kind == SceneKind::DrawImageBilinear) {
        filter = kBilinear;
    } else if (scene.kind == SceneKind::DrawImageBicubic) {
        filter = kBicubic;
    }
    LUMO(setHint)(nullptr, nullptr, g_, kImageFilterHint, filter);
    pathFlags_ = (scene.stroke ? kStroke : kFill) | (scene.curves ? kCurves : kPolygonal);

    arguments_.clear();
    arguments_.resize(batch.operations.size());
    const double size = batch.size;
    for (size_t i = 0; i < arguments_.size(); ++i) {
        const Operation& op = batch.operations[i];
        Arguments& args = arguments_[i];
        asArray<jbyteArray>(args.types, const_cast<int8_t*>(op.types.data()), op.types.size());
        asArray<jdoubleArray>(args.coords, const_cast<double*>(op.coords.data()), op.coords.size());
        if (imageScene(scene.kind)) {
            args.points = {kImageScale, 0, 0, kImageScale, op.x, op.y};
        } else if (style == Style::LinearGradient) {
            args.points = {op.x, op.y, op.x + size, op.y + size, op.x, op.y};
        } else if (style == Style::RadialGradient) {
            const double cx = op.x + size / 2, cy = op.y + size / 2;
            args.points = {cx, cy, cx + size / 2, cy, cx, cy};
        } else {
            args.points = {kTextureScale, 0, 0, kTextureScale, op.x, op.y};
        }
        args.colours = {jint(op.argb()), jint(op.secondStop())};
        asArray<jdoubleArray>(args.pointArray, args.points.data(), 6);
        asArray<jintArray>(args.colourArray, args.colours.data(), 2);
    }
}

void LumoSceneDrawer::setStyle(Arguments& args) {
    JNIEnv* env = benchEnv();
    const auto points = reinterpret_cast<jdoubleArray>(&args.pointArray);
    switch (style_) {
        case Style::Solid:
            LUMO(setPaint)(nullptr, nullptr, g_, args.colours[0]);
            break;
        case Style::LinearGradient:
        case Style::RadialGradient:
            LUMO(setGradient)
            (env, nullptr, g_, style_ == Style::LinearGradient ? kLinear : kRadial, kPad, points,
             reinterpret_cast<jintArray>(&positionArray_),
             reinterpret_cast<jintArray>(&args.colourArray), nullptr);
            break;
        case Style::TextureNN:
        case Style::TextureBilinear:
            LUMO(setTexture)(env, nullptr, g_, textureImage_, points, kRepeatBothWays);
            break;
        case Style::Image:
            break;
    }
}

void LumoSceneDrawer::drawShape(const Operation& op, Arguments& args) {
    if (batch_->scene->outline == Outline::IntRect) {
        LUMO(fillRect)(nullptr, nullptr, g_, jint(op.x), jint(op.y), batch_->size, batch_->size);
        return;
    }
    LUMO(drawPath)
    (benchEnv(), nullptr, g_, jint(op.types.size()), reinterpret_cast<jbyteArray>(&args.types),
     reinterpret_cast<jdoubleArray>(&args.coords), batch_->scene->nonZero, pathFlags_);
}

void LumoSceneDrawer::draw(size_t first, size_t count) {
    const size_t end = std::min(first + count, arguments_.size());
    if (style_ == Style::Image) {
        for (size_t i = first; i < end; ++i) {
            LUMO(drawImage)
            (benchEnv(), nullptr, g_, imageImage_,
             reinterpret_cast<jdoubleArray>(&arguments_[i].pointArray));
        }
        return;
    }
    for (size_t i = first; i < end; ++i) {
        setStyle(arguments_[i]);
        drawShape(batch_->operations[i], arguments_[i]);
    }
}

}  // namespace lumo_bench
