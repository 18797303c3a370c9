#include "tracing/threshold.h"

#include <algorithm>
#include <opencv2/imgproc.hpp>

namespace tracing {

namespace {

// Otsu's method: the split of the histogram with the largest variance between the two
// classes. Where a gap in the histogram makes several splits equally good, the middle one, so
// that a picture of two colours is cut half-way between them, where a blurred edge really is.
int Otsu(const cv::Mat& histogram) {
    double total = 0;
    double sumAll = 0;
    for (int i = 0; i < 256; ++i) {
        total += histogram.at<float>(i);
        sumAll += i * double(histogram.at<float>(i));
    }
    double best = 0;
    int first = -1;
    int last = -1;
    double weight = 0;
    double sum = 0;
    for (int t = 0; t < 255; ++t) {
        weight += histogram.at<float>(t);
        sum += t * double(histogram.at<float>(t));
        if (weight == 0 || weight == total) {
            continue;
        }
        const double m0 = sum / weight;
        const double m1 = (sumAll - sum) / (total - weight);
        const double between = weight * (total - weight) * (m0 - m1) * (m0 - m1);
        if (between > best * (1 + 1e-9)) {
            best = between;
            first = last = t;
        } else if (between >= best * (1 - 1e-9)) {
            last = t;
        }
    }
    if (first < 0) {
        return 128;
    }
    // Values up to the split are the dark class; ours draws what is below the threshold.
    return std::clamp((first + last) / 2 + 1, 0, 255);
}

}  // namespace

int OtsuThreshold(const cv::Mat& grey, const cv::Mat& mask) {
    cv::Mat histogram;
    const int channel = 0;
    const int bins = 256;
    const float range[] = {0, 256};
    const float* ranges[] = {range};
    cv::calcHist(&grey, 1, &channel, mask, histogram, 1, &bins, ranges);
    return Otsu(histogram);
}

cv::Mat DrawnSide(const cv::Mat& grey, int threshold, bool invert) {
    cv::Mat drawn;
    cv::compare(grey, threshold, drawn, invert ? cv::CMP_GT : cv::CMP_LT);
    return drawn;
}

double OutlineLevel(int threshold, bool invert) {
    return invert ? threshold + 0.5 : threshold - 0.5;
}

}  // namespace tracing
