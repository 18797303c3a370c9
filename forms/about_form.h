// The about window: version, build, contacts, the logo and two links. Its caption flashes
// every 300 ms for as long as the program runs.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace forms {

// Asks the desktop for the user's attention to a window; the caption bar is the usual place.
void FlashWindow(QWidget* window, bool invert);

// Opens a link (a mail or web address) with the desktop's default program; the result is
// not reported.
void ShellExecute(const QString& link);

// A label that acts as a link: red under the pointer, navy once it has left, green after a
// click.
class LinkLabel : public QLabel {
    Q_OBJECT
  public:
    LinkLabel(const QString& caption, QString link, QWidget* parent);
    QString link() const { return link_; }

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void setColor(QRgb c);
    QString link_;
};

class TAboutForm : public QWidget {
    Q_OBJECT
  public:
    explicit TAboutForm(QWidget* parent = nullptr);

    // The picture at the top right, stretched to its box.
    void setPicture(const QImage& picture);
    QTimer& Timer1() { return timer1_; }
    int flashCount() const { return flashes_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Timer1Timer();
    void BitBtn1Click() { close(); }

    QTimer timer1_;
    QLabel* ImageFisht = nullptr;
    QPushButton* BitBtn1 = nullptr;
    int flashes_ = 0;
    bool dressed_ = false;
};

}  // namespace forms
