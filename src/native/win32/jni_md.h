#ifndef LUMO_WIN32_JNI_MD_H
#define LUMO_WIN32_JNI_MD_H

// Machine-dependent JNI definitions for Windows, read by the JDK's jni.h when
// lumo is built for Windows. A JVM on Windows calls natives with the
// __stdcall convention (it differs from the C default on 32-bit x86 only) and
// finds them among the DLL's exports.

// The 32-bit build takes its export names from a module-definition file and
// defines JNIEXPORT empty, so it is only a default here.
#ifndef JNIEXPORT
#define JNIEXPORT __declspec(dllexport)
#endif
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

// jint must be 32 bits: long is 32 bits on Windows, for 32-bit and 64-bit
// programs alike.
typedef long jint;
typedef __int64 jlong;
typedef signed char jbyte;

#endif  // LUMO_WIN32_JNI_MD_H
