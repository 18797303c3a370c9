#include "support/pixels.h"

namespace testing_support {

std::string Grid(const QImage& image, int x, int y, int w, int h, const Legend& legend) {
    std::string out;
    for (int j = y; j < y + h; ++j) {
        if (j != y) {
            out += '\n';
        }
        for (int i = x; i < x + w; ++i) {
            if (!image.rect().contains(i, j)) {
                out += ' ';
                continue;
            }
            const QRgb c = image.pixel(i, j) | 0xFF000000u;
            char ch = '?';
            for (const auto& [k, v] : legend) {
                if ((v | 0xFF000000u) == c) {
                    ch = k;
                    break;
                }
            }
            out += ch;
        }
    }
    return out;
}

std::string Rows(std::initializer_list<const char*> rows) {
    std::string out;
    bool first = true;
    for (const char* r : rows) {
        if (!first) {
            out += '\n';
        }
        first = false;
        out += r;
    }
    return out;
}

int CountColor(const QImage& image, const QRect& region, QRgb color) {
    int n = 0;
    const QRect r = region & image.rect();
    for (int j = r.top(); j <= r.bottom(); ++j) {
        for (int i = r.left(); i <= r.right(); ++i) {
            n += (image.pixel(i, j) | 0xFF000000u) == (color | 0xFF000000u) ? 1 : 0;
        }
    }
    return n;
}

}  // namespace testing_support
