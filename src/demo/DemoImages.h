#pragma once

#include <QImage>
#include <QRect>

// The demo mod's pictures, drawn by code at the catalogue's sizes.

// The picture for image component 0..58 (panels, frame strips, sliders), RGB32.
QImage DrawDemoImage(int imageIndex);

// Where frame `frame` of frame strip `framesIndex` (0..40) is drawn. The preview
// cuts a strip with a one-pixel separator between frames, so a frame starts at
// frame x (cut + 1) where cut = (length + 1) / frames - 1; along the strip it is
// cut long (horizontal strips take that size), across it the whole strip. A
// vertical strip's control shows the catalogue's frame height from that start.
QRect DemoFrameRect(int framesIndex, int frame);

// Drawing of one kind (DemoPanels.cpp, DemoStrips.cpp).
QImage DrawDemoPanel(int panelIndex);
QImage DrawDemoStrip(int framesIndex);
QImage DrawDemoSlider(int sliderIndex);
