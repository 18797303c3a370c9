// The document as its listeners see it: the contour's points and their styles, the line colour
// that draws and sends the default ones, and the output stage's settings. Each user step that
// changed any of them is announced once, with a new revision, when the step ends; the Лазер
// window, the preview and recovery react to that and nobody compares copies on a timer.
#pragma once

#include <QFlags>
#include <QObject>
#include <QRgb>
#include <memory>

#include "editor/settings.h"
#include "editor/show.h"
#include "model/contour.h"
#include "model/output_stage.h"

namespace editor {

// How the contour goes to a laser: one set of settings for the Лазер window, which sends the
// stream, and the preview, which draws the same stream. A change is announced as it is made.
class OutputSettings : public QObject {
    Q_OBJECT
  public:
    const model::stage::Settings& get() const { return settings_; }
    // Takes `settings`; announces them when they differ from what was held.
    void set(const model::stage::Settings& settings);

  Q_SIGNALS:
    void Changed();

  private:
    model::stage::Settings settings_;
};

class Document : public QObject {
    Q_OBJECT
  public:
    enum Part {
        ContourPart = 1,     // the points, their count or their styles
        LineColourPart = 2,  // the settings' line colour, in which default points go out
        OutputPart = 4,      // the output stage's settings
        FilePart = 8,        // the file the contour belongs to, or whether it is saved
        ShowPart = 16,       // the frames: their number, order, names, which one is edited
    };
    Q_DECLARE_FLAGS(Parts, Part)

    Document(model::Contour& contour, const EditorSettings& settings);
    ~Document() override;

    // The frames; the contour is the current one.
    Show& show() { return show_; }
    const Show& show() const { return show_; }
    // After a frame command (another frame in the contour, frames added, removed or moved):
    // the step's end announces the frames and the contour, and the contour's new content does
    // not count as an edit of the frame.
    void FramesChanged();

    OutputSettings& output() { return output_; }
    const OutputSettings& output() const { return output_; }
    // Counts the announcements: a listener that kept the revision it last acted on knows
    // whether it has seen the newest.
    quint64 revision() const { return revision_; }

    // Notes a change the document cannot see by itself (the file saved), for the step's end.
    void Touch(Part part) { pending_ |= part; }
    // The end of a user step: announces what changed since the last announcement, if anything.
    // Cheap when nothing did (one comparison of the buffers, 40 KiB at most).
    void Settle();

  Q_SIGNALS:
    void Changed(quint64 revision, editor::Document::Parts parts);

  private:
    QRgb LineColour() const;

    void KeepCopy();

    const model::Contour& contour_;
    const EditorSettings& settings_;
    Show show_;
    OutputSettings output_;
    // What was last announced.
    std::unique_ptr<model::ContourBuffer> buffer_;
    std::unique_ptr<model::StyleBuffer> styles_;
    int32_t count_ = 0;
    QRgb line_ = 0;
    Parts pending_;
    quint64 revision_ = 0;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Document::Parts)

}  // namespace editor
