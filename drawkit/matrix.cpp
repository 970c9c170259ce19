#include "drawkit/matrix.h"

#include <cmath>

namespace {

constexpr Matrix4 identity = {{{1.0f, 0.0f, 0.0f, 0.0f},
                               {0.0f, 1.0f, 0.0f, 0.0f},
                               {0.0f, 0.0f, 1.0f, 0.0f},
                               {0.0f, 0.0f, 0.0f, 1.0f}}};

// Through double: the angle of a long-running tick is large, and the single
// result is then the correctly rounded one whatever the C library's float
// routines do with such arguments.
float Sine(float angle) { return static_cast<float>(std::sin(static_cast<double>(angle))); }
float Cosine(float angle) { return static_cast<float>(std::cos(static_cast<double>(angle))); }

Vector3 Subtract(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

float Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vector3 Cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// A zero vector stays zero.
Vector3 Normalize(const Vector3& v) {
    float length = std::sqrt(Dot(v, v));
    if (length == 0.0f) return {0.0f, 0.0f, 0.0f};
    return {v.x / length, v.y / length, v.z / length};
}

// The rotation in the plane of axes a and b: a turns towards b.
Matrix4 PlaneRotation(int a, int b, float angle) {
    Matrix4 rotation = identity;
    float c = Cosine(angle);
    float s = Sine(angle);
    rotation.m[a][a] = c;
    rotation.m[a][b] = s;
    rotation.m[b][a] = -s;
    rotation.m[b][b] = c;
    return rotation;
}

}  // namespace

Matrix4 MatrixRotationX(float angle) { return PlaneRotation(1, 2, angle); }
Matrix4 MatrixRotationY(float angle) { return PlaneRotation(2, 0, angle); }
Matrix4 MatrixRotationZ(float angle) { return PlaneRotation(0, 1, angle); }

Matrix4 MatrixMultiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 product{};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            product.m[row][column] = a.m[row][0] * b.m[0][column] + a.m[row][1] * b.m[1][column] +
                                     a.m[row][2] * b.m[2][column] + a.m[row][3] * b.m[3][column];
        }
    }
    return product;
}

Matrix4 MatrixLookAtLH(const Vector3& eye, const Vector3& at, const Vector3& up) {
    Vector3 zAxis = Normalize(Subtract(at, eye));
    Vector3 xAxis = Normalize(Cross(up, zAxis));
    Vector3 yAxis = Cross(zAxis, xAxis);
    return {{{xAxis.x, yAxis.x, zAxis.x, 0.0f},
             {xAxis.y, yAxis.y, zAxis.y, 0.0f},
             {xAxis.z, yAxis.z, zAxis.z, 0.0f},
             {-Dot(xAxis, eye), -Dot(yAxis, eye), -Dot(zAxis, eye), 1.0f}}};
}

Matrix4 MatrixPerspectiveFovLH(float fieldOfView, float aspect, float nearPlane, float farPlane) {
    float tangent = static_cast<float>(std::tan(static_cast<double>(fieldOfView / 2.0f)));
    float depth = farPlane - nearPlane;
    return {{{1.0f / (aspect * tangent), 0.0f, 0.0f, 0.0f},
             {0.0f, 1.0f / tangent, 0.0f, 0.0f},
             {0.0f, 0.0f, farPlane / depth, 1.0f},
             {0.0f, 0.0f, -(nearPlane * farPlane) / depth, 0.0f}}};
}
