// The window's icons, drawn into pixels when the program is built (window/icons): read without
// a decoder, so that showing the window costs no image plugin.
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

namespace window {

// ":/icons/NAME.argb" as an image; a null image when there is none.
QImage RasterIcon(const QString& name);
// A button's icon: NAME at 18 pixels and NAME@2x at twice that, for dense screens.
QIcon ButtonIcon(const QString& name);
// The window's icon at the sizes a desktop asks for.
QIcon WindowIcon();

}  // namespace window
