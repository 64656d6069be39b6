#include "image/SwtImageInfo.h"

#include "image/RowReader.h"

namespace lumo {

void describeFromInfo(ImageDescriptor& image, const int32_t* info) {
    image.isDirect = info[0] == 1;
    image.width = info[1];
    image.height = info[2];
    image.depth = info[3];
    image.bytesPerLine = info[4];
    image.alpha = info[5];
}

bool describeSwtImage(ImageDescriptor& image, const SwtImageArrays& arrays) {
    describeFromInfo(image, arrays.info);
    image.kind = IMAGE_SWT;
    image.transparentPixel = arrays.info[6];
    image.data = arrays.data;
    image.alphaData = arrays.alphaData;
    image.palette = arrays.palette;
    image.paletteLength = arrays.paletteLength;
    if (image.isDirect) {
        // Masks and shifts: red, green, blue.
        if (arrays.palette == nullptr || arrays.paletteLength < 6) return false;
        image.redMask = arrays.palette[0];
        image.redShift = arrays.palette[1];
        image.greenMask = arrays.palette[2];
        image.greenShift = arrays.palette[3];
        image.blueMask = arrays.palette[4];
        image.blueShift = arrays.palette[5];
    }
    return imageFitsMemory(image, arrays.dataLength, arrays.alphaLength);
}

}  // namespace lumo
