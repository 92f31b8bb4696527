#pragma once
// The two pictures of the main window, built into the program.

#include <QImage>

// The logo, 329 x 129, decoded from its JPEG.
QImage LogoPicture();

// The title picture, 413 x 80.
QImage TitlePicture();
