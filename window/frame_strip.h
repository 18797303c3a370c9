// The frame strip: the show's frames in order as small pictures, the current one marked, in a
// window of its own beside the main window (whose layout stays as it is). A click makes a frame
// the one edited; a frame dragged to another place moves there. The pictures are drawn when the
// strip shows them and kept until their frame changes, so a show of a thousand frames opens at
// once.
#pragma once

#include <QAbstractListModel>
#include <QWidget>
#include <functional>
#include <map>

#include "editor/editor.h"

class QListView;

namespace window {

class FrameStripModel : public QAbstractListModel {
    Q_OBJECT
  public:
    // `move` is asked to move a frame from one place to another.
    FrameStripModel(editor::Editor& editor, std::function<void(int, int)> move,
                    QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

    // The side of a frame's picture.
    static constexpr int kPicture = 64;
    // How many pictures have been drawn, for the benchmark of a long strip.
    int drawn() const { return drawn_; }

  private:
    void Follow(editor::Document::Parts parts);
    QPixmap Picture(int row) const;

    editor::Editor& editor_;
    std::function<void(int, int)> move_;
    mutable std::map<int, QPixmap> pictures_;
    mutable int drawn_ = 0;
    int count_ = 0;
};

class FrameStrip : public QWidget {
    Q_OBJECT
  public:
    FrameStrip(editor::Editor& editor, std::function<void(int)> go,
               std::function<void(int, int)> move, QWidget* parent = nullptr);

    FrameStripModel& model() { return *model_; }
    QListView& view() { return *view_; }

  Q_SIGNALS:
    void Closed();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // The current frame marked and in sight.
    void ShowCurrent();

    editor::Editor& editor_;
    FrameStripModel* model_ = nullptr;
    QListView* view_ = nullptr;
};

}  // namespace window
