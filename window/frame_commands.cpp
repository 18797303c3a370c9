#include "window/frame_commands.h"

#include <algorithm>

#include <QCoreApplication>

#include "editor/colors.h"

namespace window {

namespace {

// A colour a part of the way from the background to `colour`: faint, under the contour.
QRgb Faint(QRgb colour, QRgb background) {
    const auto mix = [](int a, int b) { return b + (a - b) * 2 / 5; };
    return qRgb(mix(qRed(colour), qRed(background)), mix(qGreen(colour), qGreen(background)),
                mix(qBlue(colour), qBlue(background)));
}

}  // namespace

FrameCommands::FrameCommands(CommandWindow& window) : window_(window) {}

void FrameCommands::Changed(bool undoable) {
    editor::Editor& editor = window_.editor();
    editor.document().FramesChanged();
    if (undoable) {
        window_.setUndoControls(true);
    } else {
        // The contour's snapshot was of another frame: nothing to undo here.
        show().DropUndo();
        window_.setUndoControls(false);
    }
    Refresh();
    editor.Repaint();
}

void FrameCommands::Refresh() {
    editor::Editor& editor = window_.editor();
    const editor::Show& s = show();
    std::vector<editor::Editor::Ghost> ghosts;
    if (neighbours_) {
        const QRgb base = editor.BaseColor();
        const auto add = [&](int i, QRgb colour) {
            if (i >= 0 && i < s.count() && i != s.current()) {
                const model::Frame f = s.frame(i);
                ghosts.push_back({f.points, f.styles, Faint(colour, base)});
            }
        };
        // The frame before in red, the frame after in blue, as animators draw them.
        add(s.current() - 1, qRgb(255, 0, 0));
        add(s.current() + 1, qRgb(0, 0, 255));
    }
    editor.setGhosts(std::move(ghosts));
    if (s.count() > 1) {
        editor.host().setStatusText(
            editor::kPanelSpare, QCoreApplication::translate("window::FrameCommands", "Кадр %1/%2")
                                     .arg(s.current() + 1)
                                     .arg(s.count()));
    }
}

void FrameCommands::ItemFrameNewClick() {
    show().TakeUndo();
    show().Insert(show().current() + 1, {});
    Changed(true);
}

void FrameCommands::ItemFrameDuplicateClick() {
    show().TakeUndo();
    show().Insert(show().current() + 1, show().frame(show().current()));
    Changed(true);
}

void FrameCommands::ItemFrameDeleteClick() {
    if (show().count() <= 1) {
        return;
    }
    show().TakeUndo();
    show().Remove(show().current());
    Changed(true);
}

void FrameCommands::ItemFrameInBetweenClick() {
    Dialogs& dialogs = window_.dialogs();
    const int room = model::kMaxShowFrames - show().count();
    if (show().current() + 1 >= show().count()) {
        ShowMessage(
            dialogs, MessageType::Information,
            QCoreApplication::translate("window::FrameCommands",
                                        "После текущего кадра нет следующего: промежуточные кадры "
                                        "строятся между текущим кадром и следующим."));
        return;
    }
    NumberRequest request;
    request.title = QCoreApplication::translate("window::FrameCommands", "Промежуточные кадры");
    request.text = QCoreApplication::translate("window::FrameCommands",
                                               "Сколько кадров вставить между кадрами %1 и %2?")
                       .arg(show().current() + 1)
                       .arg(show().current() + 2);
    request.minimum = 1;
    request.maximum = std::max(1, room);
    request.value = std::min(5, request.maximum);
    if (const std::optional<int> n = dialogs.askNumber(request)) {
        InBetween(*n);
    }
}

bool FrameCommands::InBetween(int n) {
    Dialogs& dialogs = window_.dialogs();
    const int from = show().current();
    if (from + 1 >= show().count()) {
        ShowMessage(
            dialogs, MessageType::Information,
            QCoreApplication::translate("window::FrameCommands",
                                        "После текущего кадра нет следующего: промежуточные кадры "
                                        "строятся между текущим кадром и следующим."));
        return false;
    }
    if (n > model::kMaxShowFrames - show().count()) {
        ShowMessage(dialogs, MessageType::Warning,
                    QCoreApplication::translate("window::FrameCommands",
                                                "В показе %1 кадров, а больше %2 он не вмещает.")
                        .arg(show().count())
                        .arg(model::kMaxShowFrames));
        return false;
    }
    const model::Frame a = show().frame(from);
    const model::Frame b = show().frame(from + 1);
    const QRgb line = editor::ResolveColor(window_.editor().settings().ColorBoxLine) & 0xFFFFFFu;
    model::InBetweens made = model::InBetween(a, b, n, line);
    switch (made.refusal) {
        case model::InBetweens::Refusal::None:
            break;
        case model::InBetweens::Refusal::PointCounts:
            ShowMessage(
                dialogs, MessageType::Warning,
                QCoreApplication::translate("window::FrameCommands",
                                            "В кадре %1 %2 точек, а в кадре %3 — %4: промежуточные "
                                            "кадры строятся только между кадрами с равным числом "
                                            "точек.")
                    .arg(from + 1)
                    .arg(a.points.size())
                    .arg(from + 2)
                    .arg(b.points.size()));
            return false;
        case model::InBetweens::Refusal::Count:
            return false;
    }
    show().TakeUndo();
    show().InsertAll(from + 1, std::move(made.frames));
    Changed(true);
    return true;
}

void FrameCommands::Go(int i) {
    if (i < 0 || i >= show().count() || i == show().current()) {
        return;
    }
    show().Select(i);
    Changed(false);
}

void FrameCommands::Move(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= show().count() || to >= show().count()) {
        return;
    }
    show().TakeUndo();
    show().Move(from, to);
    Changed(true);
}

bool FrameCommands::Undo() {
    if (!show().canUndo()) {
        return false;
    }
    show().Undo();
    Changed(false);
    return true;
}

void FrameCommands::ShowNeighbours(bool shown) {
    neighbours_ = shown;
    Refresh();
    window_.editor().Repaint();
}

}  // namespace window
