// Lossless PNG files of rendered pages, in the smallest pixel form that holds every
// colour of the page exactly, compressed for speed.
#pragma once

#include <QRgb>

#include <vector>

class QImage;
class QIODevice;

// How a page's pixels are stored: one gray byte where red, green and blue are equal in
// every pixel, one palette index where there are at most 256 colours, else three bytes.
enum class PngPixelForm { Gray, Indexed, Rgb };

struct PngPixels {
    PngPixelForm form = PngPixelForm::Rgb;
    std::vector<QRgb> palette; // Indexed: the colours, in the order first met
};

// The form that keeps every pixel of `image` (Format_RGB32; alpha is ignored) exactly.
PngPixels ChoosePngPixels(const QImage &image);

// Writes `image` (Format_RGB32; alpha is ignored) to `out` as a PNG file that decodes to
// exactly its pixels, with its resolution when it has one. Returns false when writing
// failed.
bool WritePng(const QImage &image, QIODevice &out);
