#pragma once
// Camera-like pictures for the benchmark, made once into a cache folder.

#include <QString>

namespace pagemint::bench {

// Writes `count` pictures of width x height named 0000.<format> ... into `folder`: gradients and
// waves (smooth areas) plus noise (detail), so a JPEG comes out at the size of a photograph and a
// PNG compresses as poorly as one. Picture n is the same on every run. False when one cannot be saved.
bool makePictures(const QString &folder, int count, int width, int height, const char *format);

} // namespace pagemint::bench
