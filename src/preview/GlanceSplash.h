#pragma once

#include <QImage>

// The picture the preview shows while no assigned image file exists: 345 x 176 pixels,
// drawn in code so that the program carries no image file for it.
constexpr int GlanceSplashWidth = 345;
constexpr int GlanceSplashHeight = 176;

QImage GlanceSplashPicture();
