#include "drawkit/quad_drawer_win.h"

#include "platform/release_win.h"

namespace {

constexpr DWORD quadVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
// Direct3D 9 puts pixel centres on whole coordinates: a quad moved half a
// pixel up and left samples each texel at its centre, one texel per pixel.
constexpr float texelCentre = 0.5f;

struct QuadVertex {
    float x;
    float y;
    float z;
    float rhw;
    D3DCOLOR colour;
    float u;
    float v;
};

// Everything a draw sets: recorded into both state blocks, so that the one
// capturing the caller's states covers each state the draw changes.
void SetQuadStates(IDirect3DDevice9* device) {
    const D3DRENDERSTATETYPE off[] = {
        D3DRS_SEPARATEALPHABLENDENABLE, D3DRS_ALPHATESTENABLE, D3DRS_ZENABLE,
        D3DRS_ZWRITEENABLE, D3DRS_STENCILENABLE, D3DRS_FOGENABLE, D3DRS_LIGHTING,
        D3DRS_SRGBWRITEENABLE, D3DRS_SCISSORTESTENABLE};
    for (D3DRENDERSTATETYPE state : off) device->SetRenderState(state, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    device->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
    device->SetRenderState(D3DRS_CLIPPING, TRUE);
    // The texture times the quad's colour.
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
    device->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 0);
    device->SetSamplerState(0, D3DSAMP_SRGBTEXTURE, FALSE);
    device->SetTexture(0, nullptr);
    device->SetFVF(quadVertexFormat);
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetVertexShader(nullptr);
    device->SetPixelShader(nullptr);
}

IDirect3DStateBlock9* RecordQuadStates(IDirect3DDevice9* device) {
    if (FAILED(device->BeginStateBlock())) return nullptr;
    SetQuadStates(device);
    IDirect3DStateBlock9* block = nullptr;
    if (FAILED(device->EndStateBlock(&block))) return nullptr;
    return block;
}

}  // namespace

bool QuadDrawer::Draw(IDirect3DTexture9* texture, const TextQuad& quad, D3DCOLOR colour) {
    if (!savedStates) savedStates = RecordQuadStates(device);
    if (!quadStates) quadStates = RecordQuadStates(device);
    if (!savedStates || !quadStates) return false;
    const float x0 = quad.left - texelCentre;
    const float y0 = quad.top - texelCentre;
    const float x1 = quad.right - texelCentre;
    const float y1 = quad.bottom - texelCentre;
    const QuadVertex corners[4] = {
        {x0, y0, 0.0f, 1.0f, colour, quad.u0, quad.v0},
        {x1, y0, 0.0f, 1.0f, colour, quad.u1, quad.v0},
        {x0, y1, 0.0f, 1.0f, colour, quad.u0, quad.v1},
        {x1, y1, 0.0f, 1.0f, colour, quad.u1, quad.v1},
    };
    savedStates->Capture();
    quadStates->Apply();
    device->SetTexture(0, texture);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, corners, sizeof corners[0]);
    savedStates->Apply();
    return true;
}

void QuadDrawer::OnLostDevice() {
    ReleaseObject(savedStates);
    ReleaseObject(quadStates);
}
