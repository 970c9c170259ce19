#pragma once

#include "drawkit/matrix.h"

// The camera the cube is seen through: 50 units in front of it, looking at
// its centre with the y axis up, and a quarter turn's field of view over
// the window's aspect.
Matrix4 CameraView();
Matrix4 CameraProjection();
