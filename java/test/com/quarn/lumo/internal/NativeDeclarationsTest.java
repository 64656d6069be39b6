package com.quarn.lumo.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.lang.reflect.Method;
import java.lang.reflect.Modifier;
import java.util.Arrays;
import java.util.List;
import java.util.TreeSet;
import java.util.stream.Collectors;
import org.junit.jupiter.api.Test;

/** The Java declarations must match the symbols the library exports, one for one. */
class NativeDeclarationsTest {
    private static final List<String> EXPECTED = List.of(
            "int createDataBuffer(int,int,int)",
            "void clearDataBuffer(int,int)",
            "void deleteDataBuffer(int)",
            "int createNativeImage(int)",
            "void deleteNativeImage(int)",
            "int createGraphics(int)",
            "int cloneGraphics(int)",
            "void deleteGraphics(int)",
            "void setHint(int,int,int)",
            "void setHintValue(int,int,int)",
            "void setTransform(int,double[])",
            "void setClip(int,int,byte[],double[],boolean)",
            "void drawLine(int,int,int,int,int)",
            "void drawRect(int,int,int,int,int)",
            "void fillRect(int,int,int,int,int)",
            "void drawOval(int,int,int,int,int)",
            "void fillOval(int,int,int,int,int)",
            "void drawArc(int,int,int,int,int,int,int)",
            "void fillArc(int,int,int,int,int,int,int)",
            "void drawRoundRect(int,int,int,int,int,int,int)",
            "void fillRoundRect(int,int,int,int,int,int,int)",
            "void drawPath(int,int,byte[],double[],boolean,int)",
            "void drawPolygon(int,int,int[],int[])",
            "void fillPolygon(int,int,int[],int[])",
            "void drawPolyline(int,int,int[],int[])",
            "void setStroke(int,float,int,int,float,float[],float)",
            "void setLinePattern(int,int,double,double,double)",
            "void setPaint(int,int)",
            "void setGradient(int,int,int,double[],int[],int[],double[])",
            "void setTexture(int,int,double[],int)",
            "void setComposite(int,int,float)",
            "void drawImage(int,int,double[])",
            "void drawSWTImage(int,int[],double[],byte[],int[],byte[])",
            "void drawAWTImage(int,int[],double[],byte[])",
            "void drawAWTImage(int,int[],double[],int[])",
            "void drawAWTImage(int,int[],double[],short[])",
            "void filterAlpha(int,int[])",
            "void colorMatrix(int,int[],float[],boolean)",
            "void transColor(int,int[],byte[],byte[],byte[],byte[],boolean)",
            "void applyLut(int,int[],boolean,boolean)",
            "void gaussianBlur(int,int[],double,double,boolean)",
            "void coerceData(int[],int[],boolean)",
            "void coerceData(int,int[],boolean)",
            "void convertData(int[],int[],byte[],int[],byte[])",
            "void setData(int,int[],int)",
            "void copyData(int,int,int[],int[])",
            "void compose(int,int,int,int[],int[])",
            "void compose(int,int,int[],int[],float[])",
            "void SetDIBitsToDevice(int,int,int,int,int,int,int,int)",
            "void SetDIBitsToDeviceInt(int,int,int,int,int,int,int,int[],int,int)",
            "void SetDIBitsToDeviceByte(int,int,int,int,int,int,int,byte[],int,int)",
            "void SetDIBitsToDeviceShort(int,int,int,int,int,int,int,short[],int,int)",
            "long queryPerformanceCounter()",
            "long queryPerformanceFrequency()");

    private static String describe(Method method) {
        return method.getReturnType().getSimpleName() + " " + method.getName() + "("
                + Arrays.stream(method.getParameterTypes())
                        .map(Class::getSimpleName)
                        .collect(Collectors.joining(","))
                + ")";
    }

    @Test
    void lumoDeclaresExactlyTheExportedEntryPoints() {
        assertEquals(54, EXPECTED.size());
        assertEquals(54, new TreeSet<>(EXPECTED).size());
        TreeSet<String> declared = new TreeSet<>();
        for (Method method : LUMO.class.getDeclaredMethods()) {
            int modifiers = method.getModifiers();
            if (!Modifier.isNative(modifiers)) {
                continue;
            }
            assertTrue(Modifier.isPublic(modifiers) && Modifier.isStatic(modifiers),
                    describe(method) + " must be public static");
            declared.add(describe(method));
        }
        assertEquals(new TreeSet<>(EXPECTED), declared);
    }

    @Test
    void memoryDeviceDeclaresItsThreeEntryPoints() {
        TreeSet<String> declared = new TreeSet<>();
        for (Method method : MemoryDevice.class.getDeclaredMethods()) {
            if (Modifier.isNative(method.getModifiers())) {
                declared.add(describe(method));
            }
        }
        assertEquals(new TreeSet<>(List.of("int create(int,int)", "void read(int,int[])",
                "void delete(int)")), declared);
    }
}
