#pragma once

#include "drawkit/text_layout.h"

#include <windows.h>
#include <d3d9.h>

// Draws a screen-aligned textured quad, given in pixels, alpha-blended over
// the target: the texture's colour and alpha times the quad's colour, each
// texel sampled at its centre, one texel a pixel. Every device state it
// changes is put back before Draw returns, whatever the caller had set: one
// state block holds the drawer's states, another captures the caller's
// before the draw and applies them after it.
class QuadDrawer {
public:
    // device outlives the drawer (its owner holds a reference).
    explicit QuadDrawer(IDirect3DDevice9* device) : device(device) {}
    ~QuadDrawer() { OnLostDevice(); }
    QuadDrawer(const QuadDrawer&) = delete;
    QuadDrawer& operator=(const QuadDrawer&) = delete;

    // False when the state blocks cannot be recorded: nothing is drawn.
    bool Draw(IDirect3DTexture9* texture, const TextQuad& quad, D3DCOLOR colour);

    // The state blocks go before a reset; the next Draw records them again.
    void OnLostDevice();

private:
    IDirect3DDevice9* device;
    IDirect3DStateBlock9* savedStates = nullptr;
    IDirect3DStateBlock9* quadStates = nullptr;
};
