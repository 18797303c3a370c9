// Modal file dialogs and message boxes, behind an interface so that the commands that use
// them can be driven by tests that answer in their place.
#pragma once

#include <QImage>
#include <QRgb>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace window {

enum class MessageType { Warning, Error, Information, Confirmation };

// The buttons a message box can show, and the answer it gives. Closing the box answers
// with its escape button.
enum class MessageButton { Ok, Cancel, Yes, No, Abort, Retry, Ignore };

struct MessageSpec {
    QString text;
    QString caption;  // empty: the application's name
    MessageType type = MessageType::Information;
    std::vector<MessageButton> buttons{MessageButton::Ok};  // in the order shown
    MessageButton defaultButton = MessageButton::Ok;
    MessageButton escapeButton = MessageButton::Ok;
};

// An option of the command a file dialog is for, shown as a check box under the file list.
struct DialogOption {
    QString text;
    bool checked = false;
};

// A file dialog as the program declares it. The filter is written as the program's own
// pairs "Description|pattern|Description|pattern"; patterns may list several masks
// separated by ';'.
struct FileDialogSpec {
    QString title;
    QString filter;
    int filterIndex = 1;  // 1-based, the filter shown first
    QString defaultExt;   // appended to a name typed without an extension; may be "*.ilz"
    QString fileName;     // the name the dialog starts with and returns
    bool picturePreview = false;
    // A row of check boxes under the file list. An accepted dialog leaves their states here,
    // so that the next one starts from them; a cancelled one leaves them alone.
    std::vector<DialogOption> options;
};

// The choice of one frame of an ILDA show: its number, 1-based, with a small picture of it.
struct FrameChoiceSpec {
    QString title;
    QString text;                         // the frame count and anything to know before choosing
    int count = 1;                        // frames 1..count
    int initial = 1;                      // chosen when the dialog opens; Enter accepts it
    std::function<QImage(int)> picture;   // the picture of frame n
    std::function<QString(int)> caption;  // a line under it: name, points
};

// The choice of the beam colour that the pen gives new points: a colour of its own, or the
// default, the line colour of the settings.
struct BeamColourRequest {
    QString title;
    bool isDefault = true;  // the choice the dialog starts from
    QRgb colour = 0;        // the current colour, or the line colour for the default
};

struct BeamColourChoice {
    bool isDefault = true;
    QRgb colour = 0;  // when not the default; alpha ignored
};

// A whole number asked for in a spin box, from `minimum` to `maximum`, starting at `value`.
struct NumberRequest {
    QString title;
    QString text;
    int minimum = 1;
    int maximum = 1;
    int value = 1;
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // Runs an open dialog. On acceptance stores the chosen name in request.fileName and
    // returns it; on cancel returns nothing and leaves the request alone.
    virtual std::optional<QString> openFile(FileDialogSpec& request) = 0;
    // The same for a save dialog. It asks nothing about an existing file itself.
    virtual std::optional<QString> saveFile(FileDialogSpec& request) = 0;
    // An open dialog in which several files can be chosen: the names in the order given, the
    // first also in request.fileName; nothing when cancelled. Where there is no such dialog,
    // the one file of openFile.
    virtual std::optional<QStringList> openFiles(FileDialogSpec& request) {
        const std::optional<QString> one = openFile(request);
        return one ? std::optional<QStringList>(QStringList{*one}) : std::nullopt;
    }
    virtual MessageButton message(const MessageSpec& request) = 0;
    // The chosen frame, 1..count; nothing when cancelled.
    virtual std::optional<int> chooseFrame(const FrameChoiceSpec& request) = 0;
    // The chosen beam colour or the default; nothing when cancelled (as a dialog set that has
    // no colour chooser always answers).
    virtual std::optional<BeamColourChoice> chooseBeamColour(const BeamColourRequest& /*request*/) {
        return std::nullopt;
    }
    // The number chosen; nothing when cancelled (as a dialog set without the question answers).
    virtual std::optional<int> askNumber(const NumberRequest& /*request*/) { return std::nullopt; }
};

// The real dialogs, on Qt's file dialog and message box.
class QtDialogs : public Dialogs {
  public:
    explicit QtDialogs(QWidget* parent) : parent_(parent) {}
    std::optional<QString> openFile(FileDialogSpec& request) override;
    std::optional<QString> saveFile(FileDialogSpec& request) override;
    std::optional<QStringList> openFiles(FileDialogSpec& request) override;
    MessageButton message(const MessageSpec& request) override;
    std::optional<int> chooseFrame(const FrameChoiceSpec& request) override;
    // Qt's colour chooser with "По умолчанию" beside OK and Cancel.
    std::optional<BeamColourChoice> chooseBeamColour(const BeamColourRequest& request) override;
    // A spin box, its text above it, OK and Cancel.
    std::optional<int> askNumber(const NumberRequest& request) override;

    // "A|*.x|B (*.y;*.z)|*.y;*.z|C|*.*" -> "A (*.x);;B (*.y *.z);;C (*)".
    static QString QtFilter(const QString& filter);
    // The extension to append to a typed name without one ("*.ilz" and ".ilz" give "ilz").
    static QString Suffix(const QString& defaultExt);
    // The extension a Qt filter names first ("ild" for "ILDA (*.ild)"), or none.
    static QString FilterSuffix(const QString& qtFilter);

  private:
    // The dialog; with `several`, open files of which several may be chosen.
    std::optional<QStringList> run(FileDialogSpec& request, bool save, bool several = false);
    QWidget* parent_;
};

}  // namespace window
