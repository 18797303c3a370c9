// The picture the underlay holds before any file is loaded: a neutral drawing, kept as a
// placeable Windows metafile like any picture the user could load.
#pragma once

#include <QByteArray>

namespace pictures {

QByteArray BuiltInPicture();

}  // namespace pictures
