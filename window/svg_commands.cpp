#include "window/svg_commands.h"

namespace window {

SvgCommands::SvgCommands(CommandWindow& window) : window_(window) {
    openDialog_.title = QStringLiteral("Импорт SVG");
    openDialog_.filter = QStringLiteral("SVG (*.svg)|*.svg");
    openDialog_.defaultExt = QStringLiteral("svg");
    const pictures::SvgOptions start;
    openDialog_.options = {{QStringLiteral("Только видимые линии"), start.visibleOnly},
                           {QStringLiteral("Вся страница"), start.wholePage}};
}

pictures::SvgOptions SvgCommands::Options() const {
    pictures::SvgOptions o;
    o.visibleOnly = openDialog_.options[0].checked;
    o.wholePage = openDialog_.options[1].checked;
    return o;
}

void SvgCommands::ItemImportSvgClick() {
    // Like the other commands that load a contour, the snapshot comes first.
    window_.editor().ToUndo();
    if (const std::optional<QString> name = window_.dialogs().openFile(openDialog_)) {
        Import(*name);
    }
}

void SvgCommands::ImportFile(const QString& name) {
    window_.editor().ToUndo();
    openDialog_.fileName = name;
    Import(name);
}

void SvgCommands::Import(const QString& name) {
    // At the pen's spacing; a drawing that needs more points is offered the smallest that fits.
    TakeImport(window_, formats::ImportSvgFile(
                            name, window_.editor().settings().ScrollBarFriqPoints, Options()));
}

}  // namespace window
