#pragma once

#include <QImage>

// Bitmap resource 201: the heating curve beside the curve edits of Settings Temperatures,
// circuit 1. The forward temperature falls as the outdoor temperature rises, through the
// points "1" to "5" whose temperatures the edits hold.
QImage LoadCurveBitmap();
