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

#undef LUMO_DECLARE

JNIEXPORT jint JNICALL Java_com_quarn_lumo_internal_MemoryDevice_create(JNIEnv*, jclass, jint width,
                                                                        jint height);
JNIEXPORT void JNICALL Java_com_quarn_lumo_internal_MemoryDevice_read(JNIEnv*, jclass, jint hdc,
                                                                      jintArray argb);
JNIEXPORT void JNICALL Java_com_quarn_lumo_internal_MemoryDevice_delete(JNIEnv*, jclass, jint hdc);
}
