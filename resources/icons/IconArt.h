#pragma once

// The program's icon pictures, drawn from the catalogue (IconCatalogue.h) at any size and device
// pixel ratio. Every picture is named by its resource id: built-in card and folder icon n is
// resource 300 + n, overlay i is 296 + i, and the actions and named pictures have ids of their own.
//
// An id the catalogue does not know draws the neutral placeholder, never another entry's picture.
// Drawing needs a QGuiApplication for QIcon and QPixmap (QImage works without one). Use from the
// GUI thread only: the pictures and their renders are cached without locks.

#include <QIcon>
#include <QImage>
#include <QString>

namespace tw::icons {

// Built-in card and folder icons: number n (0-143) is resource kBuiltinBase + n.
constexpr int kBuiltinBase = 300;
constexpr int kBuiltinCount = 144;
// Overlays, drawn over a card or folder icon: index i (0-3) is resource kOverlayBase + i.
constexpr int kOverlayBase = 296;
constexpr int kOverlayCount = 4;
// Card-view actions, by index: 0 web address, 1 e-mail, 2 telephone, 3 attachment.
constexpr int kActionCount = 4;
constexpr int kActionWeb = 228;
constexpr int kActionMail = 229;
constexpr int kActionPhone = 230;
constexpr int kActionAttachment = 214;

// The program and its documents.
constexpr int kProgram = 200;
constexpr int kWalletDocument = 201;
constexpr int kOldWalletDocument = 202;
constexpr int kFormDocument = 203;

// Title strips of the dialogs (kTitleColours is built-in icon 59).
constexpr int kTitleFolderProperties = 213;
constexpr int kTitleAttachments = 214;
constexpr int kTitlePassword = 221;
constexpr int kTitleFormDesign = 222;
constexpr int kTitleNotes = 223;
constexpr int kTitlePicture = 224;
constexpr int kTitleSound = 225;
constexpr int kTitleSelectionList = 232;
constexpr int kTitleColours = 359;

// Button strips: the expand button's two images (normal, focused) at 8 and 16 pixels, and the
// main window's three toolbar images (new card, new folder, find) at 16 and 32 pixels.
constexpr int kExpandStripSmall = 180;
constexpr int kExpandStripLarge = 181;
constexpr int kToolbarStripSmall = 184;
constexpr int kToolbarStripLarge = 185;

// Resource ids by role; -1 when the number or index is out of range (which draws the placeholder).
int builtinResource(int number);
int overlayResource(int index);
int actionResource(int index);

// True when the catalogue has a picture for the id.
bool hasIcon(int resourceId);
// What the icon stands for ("Credit card"); empty when not catalogued.
QString iconMeaning(int resourceId);

// The picture as an image of size x size device-independent pixels at the device pixel ratio:
// round(size * dpr) pixels square, with that ratio set. A strip gives its first image.
QImage renderIcon(int resourceId, int size, qreal devicePixelRatio = 1.0);
// The neutral placeholder, as renderIcon draws it for an unknown id.
QImage renderPlaceholder(int size, qreal devicePixelRatio = 1.0);

// A whole strip at its catalogued image size times the ratio, images side by side; null for an
// id that is not a strip.
QImage renderStrip(int resourceId, qreal devicePixelRatio = 1.0);
// Number of images in a strip and the side of one at scale 1; 0 for an id that is not a strip.
int stripImageCount(int resourceId);
int stripImageSize(int resourceId);

// An icon that draws the picture crisply at whatever size and ratio it is asked for (disabled
// mode in grey). Built-in number, overlay and action index out of range give the placeholder.
QIcon icon(int resourceId);
QIcon builtinIcon(int number);
QIcon overlayIcon(int index);
QIcon actionIcon(int index);

}  // namespace tw::icons
