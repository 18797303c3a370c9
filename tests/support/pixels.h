// Pixel-exact checks drawn as small ASCII grids: each character stands for one colour.
#pragma once

#include <QImage>
#include <QRgb>
#include <map>
#include <string>

namespace testing_support {

using Legend = std::map<char, QRgb>;

// The region (x, y, w, h) of the image as rows of legend characters joined by '\n';
// a colour not in the legend shows as '?', a pixel outside the image as ' '.
std::string Grid(const QImage& image, int x, int y, int w, int h, const Legend& legend);

// Joins rows into the form Grid returns.
std::string Rows(std::initializer_list<const char*> rows);

// Number of pixels of the given colour in the region.
int CountColor(const QImage& image, const QRect& region, QRgb color);

}  // namespace testing_support
