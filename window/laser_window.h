// The "Лазер" window: the device (found on the network when asked, or typed), the output
// stage's settings and the large Пуск/Стоп button. Output starts stopped every time the window
// opens; while it runs, each change of the document goes out as it is announced: the frame
// edited, held, or with "Показ" down and more than one frame, the whole show at its frame rate
// (model/show_stream.h). Stopping, closing the window and destroying it blank the beam first.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "editor/editor.h"
#include "model/output_stage.h"
#include "model/show_stream.h"
#include "output/discovery.h"
#include "output/link.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

class QGroupBox;

namespace window {

class LaserWindow : public QWidget {
    Q_OBJECT
  public:
    // `say` puts a line in the main window's status bar.
    LaserWindow(editor::Editor& editor, std::function<void(const QString&)> say,
                QWidget* parent = nullptr);
    ~LaserWindow() override;

    // Where the search looks; the tests keep it on 127.0.0.1.
    void setDiscoveryPlaces(const output::DiscoveryPlaces& places);

    bool Running() const { return link_ != nullptr; }
    void Start();
    // Blanks the beam and ends the output; nothing when it is not running. F12 comes here.
    void StopOutput();
    // The stage's settings as the controls give them.
    model::stage::Settings StageSettings() const;
    // Whether the show plays: "Показ" is down and the document has more than one frame.
    bool PlaysShow() const;
    // The device's address as typed or chosen.
    QString address() const;
    void setAddress(const QString& address);

  Q_SIGNALS:
    // Output has started to the address shown.
    void Started();
    // Output has started or stopped.
    void RunningChanged(bool running);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QGroupBox* buildDevice();
    void Find();
    // Hands the link a new frame when the contour, its styles, the line colour or the settings
    // differ from the last one sent; while the show plays, the show's stream when a frame or
    // the settings differ, going on from the frame playing.
    void Follow();
    // The show's stream built afresh when the frames or the settings differ from those it was
    // built from, and its pace shown; true when it was.
    bool BuildShowStream();
    void ShowState();
    // The controls' settings into the document's; the document's into the controls.
    void Keep();
    void ShowSettings(const model::stage::Settings& settings);
    void ShowDefaultColour(uint32_t rgb);
    void ChooseDefaultColour();
    QSpinBox* addSpin(const char* name, int min, int max, int value, const QString& suffix = {});

    editor::Editor& editor_;
    std::function<void(const QString&)> say_;
    output::DiscoveryPlaces places_;
    std::unique_ptr<output::Discovery> discovery_;
    std::unique_ptr<output::Link> link_;
    // Links that are blanking and closing, kept until they say they are done.
    std::vector<std::unique_ptr<output::Link>> stopping_;

    // What the last frame was made of.
    std::vector<model::ContourPoint> points_;
    std::vector<model::PointStyle> styles_;
    uint32_t colour_ = 0;
    bool asMade_ = false;
    model::stage::Settings settings_;
    // What the link was last given since output started: nothing, the frame held or the show.
    enum class Sent { Nothing, Frame, Show };
    Sent sent_ = Sent::Nothing;
    // What the show's stream was built from, and the stream.
    std::vector<model::Frame> frames_;
    std::vector<bool> fromFile_;
    model::stage::Settings showSettings_;
    std::optional<model::stage::ShowStream> show_;
    // While the controls are set from the editor's settings, their signals change nothing.
    bool showing_ = false;

    QListWidget* devices_ = nullptr;
    QPushButton* find_ = nullptr;
    QLineEdit* address_ = nullptr;
    QSpinBox* rate_ = nullptr;
    QSpinBox* cornerAngle_ = nullptr;
    QSpinBox* cornerDwell_ = nullptr;
    QSpinBox* dwellBefore_ = nullptr;
    QSpinBox* dwellAfter_ = nullptr;
    QSpinBox* jumpStep_ = nullptr;
    QSpinBox* shift_ = nullptr;
    QSpinBox* size_ = nullptr;
    QSpinBox* offsetX_ = nullptr;
    QSpinBox* offsetY_ = nullptr;
    QCheckBox* flipX_ = nullptr;
    QCheckBox* flipY_ = nullptr;
    QComboBox* turns_ = nullptr;
    QSpinBox* brightness_ = nullptr;
    QPushButton* defaultColour_ = nullptr;
    QSpinBox* fps_ = nullptr;
    QCheckBox* optimise_ = nullptr;
    QPushButton* play_ = nullptr;
    QLabel* pace_ = nullptr;
    QPushButton* start_ = nullptr;
    QLabel* state_ = nullptr;
};

}  // namespace window
