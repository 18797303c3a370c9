#include "window/svg_commands.h"

#include <QCoreApplication>

namespace window {

SvgCommands::SvgCommands(CommandWindow& window) : window_(window) {
    openDialog_.title = QCoreApplication::translate("window::SvgCommands", "Импорт SVG");
    openDialog_.filter = importedKind().Filter();
    openDialog_.defaultExt = QStringLiteral("svg");
    const pictures::SvgOptions start;
    openDialog_.options = {
        {QCoreApplication::translate("window::SvgCommands", "Только видимые линии"),
         start.visibleOnly},
        {QCoreApplication::translate("window::SvgCommands", "Вся страница"), start.wholePage}};
}

pictures::SvgOptions SvgCommands::Options() const {
    pictures::SvgOptions o;
    o.visibleOnly = openDialog_.options[0].checked;
    o.wholePage = openDialog_.options[1].checked;
    return o;
}

void SvgCommands::ItemImportSvgClick() {
    LoadFile(window_.editor(), window_.dialogs(), openDialog_, std::nullopt,
             [this](const QString& name) { Import(name); });
}

const formats::KindInfo& SvgCommands::importedKind() const {
    return formats::Info(formats::Kind::Svg);
}

void SvgCommands::ImportFile(const QString& name) {
    LoadFile(window_.editor(), window_.dialogs(), openDialog_, name,
             [this](const QString& file) { Import(file); });
}

void SvgCommands::Import(const QString& name) {
    // At the pen's spacing; a drawing that needs more points is offered the smallest that fits.
    TakeImport(window_, formats::ImportSvgFile(
                            name, window_.editor().settings().ScrollBarFriqPoints, Options()));
}

}  // namespace window
