// What the tracing module gives the program: a picture made ready for tracing, behind an
// interface so that the module (and OpenCV with it) is loaded only when it is first needed.
#pragma once

#include <QImage>
#include <QRect>
#include <vector>

#include "tracing/tracer.h"

namespace tracing {

class Engine {
  public:
    virtual ~Engine() = default;
    virtual int AutoThreshold() const = 0;
    virtual std::vector<model::Path> Trace(const Options& options) const = 0;
    virtual QSize workingSize() const = 0;
};

// The module's one entry point.
using MakeEngine = Engine* (*)(const QImage& image, const QRect& area);
inline constexpr const char* kMakeEngine = "QuorinimageTracingEngine";

}  // namespace tracing
