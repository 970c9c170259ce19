#pragma once

#include "platform/vector3.h"

// Matrices as Direct3D 9 takes them: row vectors (a point is
// multiplied from the left, so A x B applies A first), a left-handed frame,
// single precision, laid out as D3DMATRIX.
struct Matrix4 {
    float m[4][4];
};

Matrix4 MatrixRotationX(float angle);
Matrix4 MatrixRotationY(float angle);
Matrix4 MatrixRotationZ(float angle);

// Each element is the sum of four products taken left to right.
Matrix4 MatrixMultiply(const Matrix4& a, const Matrix4& b);

// The view from eye towards at, with up giving the vertical.
Matrix4 MatrixLookAtLH(const Vector3& eye, const Vector3& at, const Vector3& up);

// A projection with a vertical field of view in radians, the width-to-height
// aspect and the near and far planes; depth runs 0 to 1.
Matrix4 MatrixPerspectiveFovLH(float fieldOfView, float aspect, float nearPlane, float farPlane);
