#include "scene/camera.h"

#include "common/window_size.h"

namespace {

constexpr Vector3 cameraEye = {0.0f, 0.0f, -50.0f};
constexpr Vector3 cameraTarget = {0.0f, 0.0f, 0.0f};
constexpr Vector3 cameraUp = {0.0f, 1.0f, 0.0f};
constexpr float fieldOfView = 0.7853982f;  // pi / 4
constexpr float nearPlane = 1.0f;
constexpr float farPlane = 1000.0f;

}  // namespace

Matrix4 CameraView() { return MatrixLookAtLH(cameraEye, cameraTarget, cameraUp); }

Matrix4 CameraProjection() {
    return MatrixPerspectiveFovLH(fieldOfView, windowAspect, nearPlane, farPlane);
}
