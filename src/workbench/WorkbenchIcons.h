#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures, drawn in code so that they are sharp at every
// scale: the toolbar buttons (normal and hot-tracking), the component list
// icons, the product icon and the splash picture.

enum TToolIcon {
    tiNew,
    tiOpen,
    tiSave,
    tiMakeMod,
    tiReBirth,
    tiDirUp,
    tiNewDir,
    tiRefresh,
    tiImageViewer,
    tiGlance,
};

// Indexes into the list icon strip ("ListImages").
enum TListImage {
    liDrumUnassigned = 5,
    liDrumAssigned = 6,
    liImageUnassigned = 7,
    liImageAssigned = 8,
};

namespace WorkbenchIcons {

// 24 x 24 toolbar picture: muted in the normal state, full colour when the
// mouse is over the button (QIcon::Active), at 1x and 2x.
QIcon ToolIcon(TToolIcon which);
// 16 x 16 list icon at 1x and 2x; an index without a picture gives a null icon.
QIcon ListImage(int index);
// The product icon (window icon and the icon panel), at 16, 32 and 48 pixels.
QIcon ProductIcon();
// The splash picture at the given device pixel ratio (logical size 420 x 270; the text goes below y 206).
QPixmap SplashPicture(qreal devicePixelRatio);

} // namespace WorkbenchIcons
