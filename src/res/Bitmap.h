#pragma once

#include <QImage>

// Bitmap resource 1: the control's 31 x 31, 16-colour face.
QImage LoadControlBitmap();
