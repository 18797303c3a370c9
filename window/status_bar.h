// The main window's status bar: fixed panels with whole-string texts.
#pragma once

#include <QStringList>
#include <QWidget>
#include <vector>

namespace window {

class StatusBar : public QWidget {
    Q_OBJECT
  public:
    struct Panel {
        int width;
        Qt::Alignment alignment;
        QString text;
    };

    explicit StatusBar(QWidget* parent, std::vector<Panel> panels);

    int panelCount() const { return int(panels_.size()); }
    QString panelText(int index) const;
    void setPanelText(int index, const QString& text);
    // Rectangle of a panel in the bar's coordinates; the last panel takes what is left.
    QRect panelRect(int index) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<Panel> panels_;
};

}  // namespace window
