#include "bitmap/bitmap.h"

std::optional<Bitmap> CarregaBitmap(const char*, OrdemLinhas) {
    return std::nullopt;
}
