package com.quarn.lumo.bench;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayOutputStream;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/** The printed table, its summary and the CSV. */
class ResultTableTest {
    @Test
    void medianOfOddAndEvenCounts() {
        assertEquals(3, ResultTable.median(new double[] {5, 1, 3}));
        assertEquals(2.5, ResultTable.median(new double[] {4, 1, 2, 3}));
    }

    @Test
    void summaryTakesTheMedianRatioPerSceneAndStyle(@TempDir Path dir) throws Exception {
        ByteArrayOutputStream bytes = new ByteArrayOutputStream();
        ResultTable table = new ResultTable(new PrintStream(bytes, true, "UTF-8"));
        // Ratios 2, 4, 8 and 16 for one case, 1 for another.
        table.add(new ResultTable.Row("FillPath", "Solid", 8, 1000, 2, 1, 0.5, true));
        table.add(new ResultTable.Row("FillPath", "Solid", 32, 500, 8, 2, 0.5, true));
        table.add(new ResultTable.Row("FillPath", "Solid", 128, 100, 16, 2, 0.5, true));
        table.add(new ResultTable.Row("FillPath", "Solid", 256, 20, 32, 2, 9, false));
        table.add(new ResultTable.Row("Dash", "TextureNN", 8, 1000, 3, 3, 0, true));
        table.printSummary();
        String text = bytes.toString("UTF-8");
        assertTrue(text.contains("(check failed)"), text);
        assertTrue(text.matches("(?s).*FillPath +Solid +6\\.00 +8\\.00\\n.*"), text);
        assertTrue(text.matches("(?s).*Dash +TextureNN +1\\.00 +-\\n.*"), text);

        Path csv = dir.resolve("sub/result.csv");
        table.writeCsv(csv);
        List<String> lines = Files.readAllLines(csv, StandardCharsets.UTF_8);
        assertEquals(6, lines.size());
        assertEquals("FillPath,Solid,128,100,16.0000,2.0000,8.000,0.50,true", lines.get(3));
        assertEquals("FillPath,Solid,256,20,32.0000,2.0000,16.000,9.00,false", lines.get(4));
    }
}
