package com.quarn.lumo;

import java.util.LinkedHashMap;
import java.util.Map;
import java.util.function.ToLongFunction;

/**
 * A least-recently-used cache of images, bounded both by the number of images and by the
 * pixels they hold. Graphics on several threads share one, so every access is synchronized.
 */
final class ImageCache<K, V> {
    private final int capacity;
    private final long pixelBudget;
    private final ToLongFunction<V> pixelsOf;
    /** Pixels of the images in the cache. */
    private long pixels;
    private final Map<K, V> images = new LinkedHashMap<>(256, 0.75f, true) {
        @Override
        protected boolean removeEldestEntry(Map.Entry<K, V> eldest) {
            if (size() > capacity || pixels > pixelBudget) {
                pixels -= pixelsOf.applyAsLong(eldest.getValue());
                return true;
            }
            return false;
        }
    };

    ImageCache(int capacity, long pixelBudget, ToLongFunction<V> pixelsOf) {
        this.capacity = capacity;
        this.pixelBudget = pixelBudget;
        this.pixelsOf = pixelsOf;
    }

    /** The image kept for {@code key}, now the most recently used; null when there is none. */
    synchronized V get(K key) {
        return images.get(key);
    }

    /** Keeps {@code image} for {@code key}, dropping the least recently used over the bounds. */
    synchronized void put(K key, V image) {
        pixels += pixelsOf.applyAsLong(image);
        V replaced = images.put(key, image);
        if (replaced != null) {
            pixels -= pixelsOf.applyAsLong(replaced);
        }
    }
}
