#include "window/frame_strip.h"

#include <QCloseEvent>
#include <QListView>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QVBoxLayout>

#include "editor/colors.h"

namespace window {

namespace {

const QString kFrameMime = QStringLiteral("application/x-quorinimage-frame");

}  // namespace

FrameStripModel::FrameStripModel(editor::Editor& editor, std::function<void(int, int)> move,
                                 QObject* parent)
    : QAbstractListModel(parent),
      editor_(editor),
      move_(std::move(move)),
      count_(editor.document().show().count()) {
    connect(&editor_.document(), &editor::Document::Changed, this,
            [this](quint64, editor::Document::Parts parts) { Follow(parts); });
}

void FrameStripModel::Follow(editor::Document::Parts parts) {
    if (parts & editor::Document::ShowPart) {
        // Frames added, removed, moved or another show: every picture may be another frame's.
        beginResetModel();
        pictures_.clear();
        count_ = editor_.document().show().count();
        endResetModel();
    } else if (parts & (editor::Document::ContourPart | editor::Document::LineColourPart)) {
        // An edit changes the current frame only.
        const int current = editor_.document().show().current();
        pictures_.erase(current);
        Q_EMIT dataChanged(index(current), index(current), {Qt::DecorationRole});
    }
}

int FrameStripModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count_;
}

QPixmap FrameStripModel::Picture(int row) const {
    if (const auto it = pictures_.find(row); it != pictures_.end()) {
        return it->second;
    }
    const model::Frame f = editor_.document().show().frame(row);
    QPixmap picture(kPicture, kPicture);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor line = QColor::fromRgb(editor::ResolveColor(editor_.settings().ColorBoxLine));
    // The surface's 384 pixels in the picture's side.
    const double scale = double(kPicture - 1) / double(model::kMaxUnit - model::kMinUnit);
    const auto at = [&](model::ContourPoint p) {
        return QPointF((double(p.x) - model::kMinUnit) * scale,
                       (double(p.y) - model::kMinUnit) * scale);
    };
    for (std::size_t i = 0; i < f.points.size(); ++i) {
        const model::ContourPoint from = f.points[i == 0 ? f.points.size() - 1 : i - 1];
        const model::PointStyle style = i < f.styles.size() ? f.styles[i] : model::PointStyle{};
        if (style.blanked) {
            continue;
        }
        painter.setPen(QPen(style.coloured ? QColor::fromRgb(style.rgb) : line, 1));
        painter.drawLine(at(from), at(f.points[i]));
    }
    painter.end();
    ++drawn_;
    pictures_[row] = picture;
    return picture;
}

QVariant FrameStripModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count_) {
        return {};
    }
    const editor::Show& show = editor_.document().show();
    switch (role) {
        case Qt::DisplayRole: {
            const QString name = QString::fromStdString(show.name(index.row()));
            return name.isEmpty() ? QString::number(index.row() + 1)
                                  : QStringLiteral("%1 %2").arg(index.row() + 1).arg(name);
        }
        case Qt::DecorationRole:
            return Picture(index.row());
        case Qt::ToolTipRole:
            return tr("Кадр %1, точек: %2")
                .arg(index.row() + 1)
                .arg(show.frame(index.row()).points.size());
        default:
            return {};
    }
}

Qt::ItemFlags FrameStripModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags base = QAbstractListModel::flags(index);
    return index.isValid() ? base | Qt::ItemIsDragEnabled : base | Qt::ItemIsDropEnabled;
}

QStringList FrameStripModel::mimeTypes() const {
    return {kFrameMime};
}

QMimeData* FrameStripModel::mimeData(const QModelIndexList& indexes) const {
    if (indexes.isEmpty()) {
        return nullptr;
    }
    auto* data = new QMimeData;
    data->setData(kFrameMime, QByteArray::number(indexes.front().row()));
    return data;
}

bool FrameStripModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row,
                                   int /*column*/, const QModelIndex& parent) {
    if (action != Qt::MoveAction || data == nullptr || !data->hasFormat(kFrameMime)) {
        return false;
    }
    bool ok = false;
    const int from = data->data(kFrameMime).toInt(&ok);
    if (!ok || from < 0 || from >= count_) {
        return false;
    }
    // Dropped between frames (row) or on one (parent): the frame takes that place.
    int to = row >= 0 ? row : (parent.isValid() ? parent.row() : count_);
    if (to > from) {
        --to;
    }
    to = std::clamp(to, 0, count_ - 1);
    if (to != from) {
        move_(from, to);
    }
    // The move is made through the show; the view must not remove a row of its own.
    return false;
}

FrameStrip::FrameStrip(editor::Editor& editor, std::function<void(int)> go,
                       std::function<void(int, int)> move, QWidget* parent)
    : QWidget(parent, Qt::Window), editor_(editor) {
    setObjectName(QStringLiteral("FrameStrip"));
    setWindowTitle(tr("Кадры"));
    setAttribute(Qt::WA_QuitOnClose, false);
    model_ = new FrameStripModel(editor, std::move(move), this);
    view_ = new QListView(this);
    view_->setObjectName(QStringLiteral("FrameStripView"));
    view_->setModel(model_);
    view_->setViewMode(QListView::IconMode);
    view_->setFlow(QListView::LeftToRight);
    view_->setWrapping(false);
    view_->setMovement(QListView::Static);
    view_->setUniformItemSizes(true);
    view_->setIconSize(QSize(FrameStripModel::kPicture, FrameStripModel::kPicture));
    view_->setSpacing(4);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setDragDropMode(QAbstractItemView::InternalMove);
    view_->setDefaultDropAction(Qt::MoveAction);
    view_->setDragEnabled(true);
    view_->setAcceptDrops(true);
    view_->setDropIndicatorShown(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(view_);
    resize(487, FrameStripModel::kPicture + 60);
    connect(view_, &QListView::clicked, this, [go = std::move(go)](const QModelIndex& index) {
        if (index.isValid()) {
            go(index.row());
        }
    });
    connect(&editor_.document(), &editor::Document::Changed, this, [this] { ShowCurrent(); });
    ShowCurrent();
}

void FrameStrip::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    Q_EMIT Closed();
}

void FrameStrip::ShowCurrent() {
    const QModelIndex current = model_->index(editor_.document().show().current());
    if (view_->currentIndex() != current) {
        view_->setCurrentIndex(current);
    }
    view_->scrollTo(current);
}

}  // namespace window
