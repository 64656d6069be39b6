package com.quarn.lumo.demo;

import java.util.LinkedHashMap;
import java.util.Map;

/**
 * SVG drawings written for lumo's tests and demo, each reaching what icons do not: gradients,
 * patterns, opacity groups, clip paths, masks, dashes, transforms, text and filters.
 */
public final class SvgFiles {
    private SvgFiles() {
    }

    /** File names and texts, in a fixed order. */
    public static Map<String, String> all() {
        Map<String, String> files = new LinkedHashMap<>();
        files.put("gradients.svg", svg(
                "<defs><linearGradient id='a' x1='0' y1='0' x2='1' y2='1'>"
                + "<stop offset='0' stop-color='#1b2a55'/><stop offset='0.5' stop-color='#3b82f6'/>"
                + "<stop offset='1' stop-color='#facc15' stop-opacity='0.6'/></linearGradient>"
                + "<radialGradient id='b' cx='0.5' cy='0.5' r='0.5' fx='0.3' fy='0.3'>"
                + "<stop offset='0' stop-color='white'/><stop offset='1' stop-color='#dc2626'/>"
                + "</radialGradient><linearGradient id='c' x1='0' x2='0.2' spreadMethod='reflect'>"
                + "<stop offset='0' stop-color='#16a34a'/><stop offset='1' stop-color='#f97316'/>"
                + "</linearGradient></defs>"
                + "<rect x='4' y='4' width='120' height='56' rx='10' fill='url(#a)'/>"
                + "<circle cx='40' cy='94' r='30' fill='url(#b)'/>"
                + "<ellipse cx='96' cy='96' rx='28' ry='20' fill='url(#c)' stroke='black'/>"));
        files.put("strokes.svg", svg(
                "<path d='M10 20 L60 8 L110 30' fill='none' stroke='#2563eb' stroke-width='8' "
                + "stroke-linejoin='round' stroke-linecap='round'/>"
                + "<path d='M10 50 Q60 10 118 50' fill='none' stroke='#db2777' stroke-width='4' "
                + "stroke-dasharray='10 4 2 4'/>"
                + "<polyline points='10,70 30,100 50,70 70,100 90,70 110,100' fill='none' "
                + "stroke='#111' stroke-width='5' stroke-linejoin='miter' stroke-miterlimit='2'/>"
                + "<circle cx='64' cy='112' r='10' fill='none' stroke='#16a34a' stroke-width='3' "
                + "stroke-dasharray='3 3'/>"));
        files.put("groups.svg", svg(
                "<g opacity='0.6'><rect x='10' y='10' width='70' height='70' fill='#dc2626'/>"
                + "<rect x='40' y='40' width='70' height='70' fill='#2563eb'/></g>"
                + "<g transform='rotate(20 64 64) scale(0.9)' fill-opacity='0.5'>"
                + "<circle cx='90' cy='30' r='20' fill='#16a34a'/></g>"
                + "<path d='M20 100 L60 100 L40 70 Z M30 95 L50 95 L40 80 Z' fill-rule='evenodd' "
                + "fill='#7c3aed'/>"));
        files.put("clips.svg", svg(
                "<defs><clipPath id='k'><circle cx='64' cy='64' r='48'/></clipPath>"
                + "<mask id='m'><rect width='128' height='128' fill='white'/>"
                + "<circle cx='64' cy='64' r='20' fill='black'/></mask></defs>"
                + "<g clip-path='url(#k)'><rect width='128' height='64' fill='#f59e0b'/>"
                + "<rect y='64' width='128' height='64' fill='#0ea5e9'/></g>"
                + "<rect x='34' y='34' width='60' height='60' fill='#111' fill-opacity='0.7' "
                + "mask='url(#m)'/>"));
        files.put("pattern.svg", svg(
                "<defs><pattern id='p' width='16' height='16' patternUnits='userSpaceOnUse'>"
                + "<rect width='8' height='8' fill='#334155'/><circle cx='12' cy='12' r='3' "
                + "fill='#e11d48'/></pattern></defs>"
                + "<rect x='8' y='8' width='112' height='112' rx='16' fill='url(#p)' "
                + "stroke='#334155' stroke-width='2'/>"));
        files.put("text.svg", svg(
                "<text x='8' y='40' font-family='sans-serif' font-size='28' fill='#1e3a8a'>"
                + "Lumo</text><text x='8' y='80' font-family='serif' font-size='20' "
                + "font-style='italic' fill='#9d174d' transform='rotate(-8 60 80)'>"
                + "drawn twice</text><text x='8' y='116' font-family='monospace' font-size='14' "
                + "fill='none' stroke='#065f46'>0123456789</text>"));
        files.put("filter.svg", svg(
                "<defs><filter id='f'><feGaussianBlur stdDeviation='3'/></filter></defs>"
                + "<rect x='20' y='20' width='60' height='60' fill='#6366f1' filter='url(#f)'/>"
                + "<circle cx='84' cy='84' r='30' fill='#f43f5e' opacity='0.8'/>"));
        return files;
    }

    private static String svg(String body) {
        return "<svg xmlns='http://www.w3.org/2000/svg' width='128' height='128' "
                + "viewBox='0 0 128 128'>" + body + "</svg>";
    }
}
