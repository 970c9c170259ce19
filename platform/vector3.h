#pragma once

// A point or direction in single precision.
struct Vector3 {
    float x;
    float y;
    float z;
};
