#include "render/d3dx_standins_win.h"
#include "render/d3dx_win.h"
#include "render/matrix.h"

#include <cstring>

static_assert(sizeof(Matrix4) == sizeof(D3DMATRIX), "the matrices are D3DX's");
static_assert(sizeof(Vector3) == sizeof(D3DXVECTOR3), "the vectors are D3DX's");

namespace {

Matrix4 Load(const D3DXMATRIX* matrix) {
    Matrix4 loaded;
    std::memcpy(&loaded, matrix, sizeof loaded);
    return loaded;
}

Vector3 Load(const D3DXVECTOR3* vector) { return {vector->x, vector->y, vector->z}; }

D3DXMATRIX* Store(D3DXMATRIX* out, const Matrix4& matrix) {
    std::memcpy(static_cast<void*>(out), &matrix, sizeof matrix);
    return out;
}

D3DXMATRIX* WINAPI RotationX(D3DXMATRIX* out, FLOAT angle) {
    return Store(out, MatrixRotationX(angle));
}

D3DXMATRIX* WINAPI RotationY(D3DXMATRIX* out, FLOAT angle) {
    return Store(out, MatrixRotationY(angle));
}

D3DXMATRIX* WINAPI RotationZ(D3DXMATRIX* out, FLOAT angle) {
    return Store(out, MatrixRotationZ(angle));
}

// D3DX lets out be one of the factors: both are read first.
D3DXMATRIX* WINAPI Multiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    return Store(out, MatrixMultiply(Load(a), Load(b)));
}

D3DXMATRIX* WINAPI LookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                            const D3DXVECTOR3* up) {
    return Store(out, MatrixLookAtLH(Load(eye), Load(at), Load(up)));
}

D3DXMATRIX* WINAPI PerspectiveFovLH(D3DXMATRIX* out, FLOAT fieldOfView, FLOAT aspect,
                                    FLOAT nearPlane, FLOAT farPlane) {
    return Store(out, MatrixPerspectiveFovLH(fieldOfView, aspect, nearPlane, farPlane));
}

}  // namespace

D3dxFunctions D3dxStandIns() {
    D3dxFunctions functions;
    functions.createFont = CreateStandInFont;
    functions.createTextureFromFile = CreateStandInTexture;
    functions.matrixRotationX = RotationX;
    functions.matrixRotationY = RotationY;
    functions.matrixRotationZ = RotationZ;
    functions.matrixMultiply = Multiply;
    functions.matrixLookAtLH = LookAtLH;
    functions.matrixPerspectiveFovLH = PerspectiveFovLH;
    return functions;
}
