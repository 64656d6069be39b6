package com.quarn.lumo.bench;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.file.Paths;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.ValueSource;

/** The command line of the scene benchmark. */
class BenchOptionsTest {
    @Test
    void defaultsFollowTheSharedSceneDefinition() {
        BenchOptions options = BenchOptions.parse(new String[0]);
        assertArrayEquals(new int[] {8, 32, 128, 256}, options.sizes);
        assertEquals(5, options.batches);
        assertEquals(2, options.warmUp);
        assertEquals(Paths.get("build/bench-java2d.csv"), options.csv);
        assertTrue(options.selects("FillPath", "TextureNN"));
    }

    @Test
    void optionsAndThePathAreRead() {
        BenchOptions options = BenchOptions.parse(new String[] {"--batches=7", "out/x.csv",
            "--warmup=0", "--sizes=8, 64", "--scenes=fillrect|image", "--styles=^Solid$",
            "--target-ms=0", "--clock=wall"});
        assertEquals(7, options.batches);
        assertEquals(0, options.warmUp);
        assertEquals(0, options.targetMs);
        assertEquals(BenchClock.WALL, options.clock);
        assertEquals(Paths.get("out/x.csv"), options.csv);
        assertArrayEquals(new int[] {8, 64}, options.sizes);
        assertTrue(options.selects("FillRectRot", "Solid"));
        assertTrue(options.selects("DrawImageBicubic", "Solid"));
        assertFalse(options.selects("FillRectRot", "SolidGradient"));
        assertFalse(options.selects("FillPath", "Solid"));
    }

    @ParameterizedTest
    @ValueSource(strings = {"--batches=0", "--warmup=-1", "--sizes=8,600", "--sizes=x",
        "--batches", "--speed=3", "--clock=sundial"})
    void badOptionsAreRefused(String arg) {
        assertThrows(IllegalArgumentException.class, () -> BenchOptions.parse(new String[] {arg}));
    }
}
