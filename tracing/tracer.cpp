#include "tracing/tracer.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QtDebug>

#include "tracing/engine.h"

namespace tracing {

namespace {

// The module, loaded once and kept: beside an installed program in its library folder, else
// where the build put it.
MakeEngine Module() {
    static const MakeEngine make = [] {
        QStringList places;
        if (QCoreApplication::instance() != nullptr) {
            places << QDir(QCoreApplication::applicationDirPath())
                          .filePath(QStringLiteral(QUORINIMAGE_TRACING_INSTALLED));
        }
        places << QStringLiteral(QUORINIMAGE_TRACING_BUILT);
        QString errors;
        for (const QString& place : places) {
            QLibrary library(place);
            library.setLoadHints(QLibrary::PreventUnloadHint);
            if (auto* found = reinterpret_cast<MakeEngine>(library.resolve(kMakeEngine))) {
                return found;
            }
            errors += QStringLiteral("\n  ") + library.errorString();
        }
        qWarning().noquote() << "The tracing module cannot be loaded; nothing is traced:" << errors;
        return MakeEngine(nullptr);
    }();
    return make;
}

}  // namespace

struct Picture::Data {
    std::unique_ptr<Engine> engine;
};

Picture::Picture(const QImage& image, const QRect& area) : d_(std::make_unique<Data>()) {
    if (const MakeEngine make = Module()) {
        d_->engine.reset(make(image, area));
    }
}

Picture::~Picture() = default;

QSize Picture::workingSize() const {
    return d_->engine ? d_->engine->workingSize() : QSize(0, 0);
}

int Picture::AutoThreshold() const {
    return d_->engine ? d_->engine->AutoThreshold() : 128;
}

std::vector<model::Path> Picture::Trace(const Options& options) const {
    return d_->engine ? d_->engine->Trace(options) : std::vector<model::Path>{};
}

}  // namespace tracing
