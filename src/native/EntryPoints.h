#pragma once

// Declarations of the exported entry points, for code that calls them
// directly (tests and benchmarks) rather than through a JVM.
#include <jni.h>

extern "C" {

#define LUMO_DECLARE(returnType, name, ...)                                                \
    JNIEXPORT returnType JNICALL Java_com_quarn_lumo_internal_LUMO_##name(JNIEnv*, jclass, \
                                                                          ##__VA_ARGS__)

LUMO_DECLARE(jint, createDataBuffer, jint width, jint height, jint argb);
LUMO_DECLARE(void, clearDataBuffer, jint buffer, jint argb);
LUMO_DECLARE(void, deleteDataBuffer, jint buffer);
LUMO_DECLARE(jint, createNativeImage, jint buffer);
LUMO_DECLARE(void, deleteNativeImage, jint image);

LUMO_DECLARE(jint, createGraphics, jint image);
LUMO_DECLARE(jint, cloneGraphics, jint graphics);
LUMO_DECLARE(void, deleteGraphics, jint graphics);
LUMO_DECLARE(void, setHint, jint graphics, jint key, jint value);
LUMO_DECLARE(void, setHintValue, jint graphics, jint key, jint value);
LUMO_DECLARE(void, setTransform, jint graphics, jdoubleArray matrix);
LUMO_DECLARE(void, setPaint, jint graphics, jint argb);
LUMO_DECLARE(void, setGradient, jint graphics, jint kind, jint cycle, jdoubleArray points,
             jintArray positions, jintArray colours, jdoubleArray matrix);
LUMO_DECLARE(void, setTexture, jint graphics, jint image, jdoubleArray matrix, jint wrap);
LUMO_DECLARE(void, setLinePattern, jint graphics, jint image, jdouble first, jdouble second,
             jdouble third);
LUMO_DECLARE(void, drawImage, jint graphics, jint image, jdoubleArray matrix);
LUMO_DECLARE(void, drawSWTImage, jint graphics, jintArray info, jdoubleArray matrix,
             jbyteArray data, jintArray palette, jbyteArray alphaData);
LUMO_DECLARE(void, drawAWTImage__I_3I_3D_3B, jint graphics, jintArray info, jdoubleArray matrix,
             jbyteArray data);
LUMO_DECLARE(void, drawAWTImage__I_3I_3D_3I, jint graphics, jintArray info, jdoubleArray matrix,
             jintArray data);
LUMO_DECLARE(void, drawAWTImage__I_3I_3D_3S, jint graphics, jintArray info, jdoubleArray matrix,
             jshortArray data);
LUMO_DECLARE(void, setClip, jint graphics, jint count, jbyteArray types, jdoubleArray coords,
             jboolean nonZero);
LUMO_DECLARE(void, setComposite, jint graphics, jint rule, jfloat alpha);
LUMO_DECLARE(void, setStroke, jint graphics, jfloat width, jint cap, jint join, jfloat miterLimit,
             jfloatArray dash, jfloat dashPhase);

LUMO_DECLARE(void, drawLine, jint graphics, jint x1, jint y1, jint x2, jint y2);
LUMO_DECLARE(void, drawRect, jint graphics, jint x, jint y, jint width, jint height);
LUMO_DECLARE(void, fillRect, jint graphics, jint x, jint y, jint width, jint height);
LUMO_DECLARE(void, drawOval, jint graphics, jint x, jint y, jint width, jint height);
LUMO_DECLARE(void, fillOval, jint graphics, jint x, jint y, jint width, jint height);
LUMO_DECLARE(void, drawArc, jint graphics, jint x, jint y, jint width, jint height, jint start,
             jint extent);
LUMO_DECLARE(void, fillArc, jint graphics, jint x, jint y, jint width, jint height, jint start,
             jint extent);
LUMO_DECLARE(void, drawRoundRect, jint graphics, jint x, jint y, jint width, jint height,
             jint arcWidth, jint arcHeight);
LUMO_DECLARE(void, fillRoundRect, jint graphics, jint x, jint y, jint width, jint height,
             jint arcWidth, jint arcHeight);
LUMO_DECLARE(void, drawPath, jint graphics, jint segments, jbyteArray types, jdoubleArray coords,
             jboolean nonZero, jint flags);
LUMO_DECLARE(void, drawPolygon, jint graphics, jint n, jintArray x, jintArray y);
LUMO_DECLARE(void, fillPolygon, jint graphics, jint n, jintArray x, jintArray y);
LUMO_DECLARE(void, drawPolyline, jint graphics, jint n, jintArray x, jintArray y);

LUMO_DECLARE(void, SetDIBitsToDevice, jint hdc, jint image, jint xDest, jint yDest, jint width,
             jint height, jint xSrc, jint ySrc);
LUMO_DECLARE(void, SetDIBitsToDeviceInt, jint hdc, jint xDest, jint yDest, jint width, jint height,
             jint xSrc, jint ySrc, jintArray bits, jint bitmapWidth, jint bitmapHeight);
LUMO_DECLARE(void, SetDIBitsToDeviceByte, jint hdc, jint xDest, jint yDest, jint width, jint height,
             jint xSrc, jint ySrc, jbyteArray bits, jint bitmapWidth, jint bitmapHeight);
LUMO_DECLARE(void, SetDIBitsToDeviceShort, jint hdc, jint xDest, jint yDest, jint width,
             jint height, jint xSrc, jint ySrc, jshortArray bits, jint bitmapWidth,
             jint bitmapHeight);
LUMO_DECLARE(jlong, queryPerformanceCounter);
LUMO_DECLARE(jlong, queryPerformanceFrequency);

LUMO_DECLARE(void, filterAlpha, jint buffer, jintArray region);
LUMO_DECLARE(void, colorMatrix, jint buffer, jintArray region, jfloatArray matrix,
             jboolean premultiplied);
LUMO_DECLARE(void, applyLut, jint buffer, jintArray region, jboolean toSrgb,
             jboolean premultiplied);
LUMO_DECLARE(void, transColor, jint buffer, jintArray region, jbyteArray red, jbyteArray green,
             jbyteArray blue, jbyteArray alpha, jboolean premultiplied);

LUMO_DECLARE(void, gaussianBlur, jint buffer, jintArray region, jdouble deviationX,
             jdouble deviationY, jboolean highQuality);

LUMO_DECLARE(void, coerceData___3I_3IZ, jintArray pixels, jintArray region, jboolean premultiply);
LUMO_DECLARE(void, coerceData__I_3IZ, jint buffer, jintArray region, jboolean premultiply);
LUMO_DECLARE(void, convertData, jintArray destination, jintArray info, jbyteArray data,
             jintArray palette, jbyteArray alphaData);
LUMO_DECLARE(void, setData, jint buffer, jintArray region, jint argb);
LUMO_DECLARE(void, copyData, jint sourceBuffer, jint destinationBuffer, jintArray sourceRegion,
             jintArray destinationRegion);
LUMO_DECLARE(void, compose__III_3I_3I, jint rule, jint sourceBuffer, jint destinationBuffer,
             jintArray sourceRegion, jintArray destinationRegion);
LUMO_DECLARE(void, compose__II_3I_3I_3F, jint sourceBuffer, jint destinationBuffer,
             jintArray sourceRegion, jintArray destinationRegion, jfloatArray coefficients);

#undef LUMO_DECLARE

JNIEXPORT jint JNICALL Java_com_quarn_lumo_internal_MemoryDevice_create(JNIEnv*, jclass, jint width,
                                                                        jint height);
JNIEXPORT void JNICALL Java_com_quarn_lumo_internal_MemoryDevice_read(JNIEnv*, jclass, jint hdc,
                                                                      jintArray argb);
JNIEXPORT void JNICALL Java_com_quarn_lumo_internal_MemoryDevice_delete(JNIEnv*, jclass, jint hdc);
}
