#pragma once
// The back buffer: a framebuffer object with an RGBA8 colour and a depth-stencil renderbuffer, which every
// frame is drawn into. Its row 0 is the picture's top row, so presenting it copies it to the window's own
// framebuffer with y flipped, scaled to the window's drawable size.
//
// All calls need the GL context the back buffer was made in to be current.
#include <cstdint>

namespace sys {

class BackBuffer {
public:
    BackBuffer() = default;
    ~BackBuffer();
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    // Makes (or remakes at a new size) the framebuffer. The contents are undefined afterwards. False, with
    // nothing left allocated, for a size of 0 or less or when the framebuffer is incomplete.
    bool Resize(int width, int height);
    // Deletes the GL objects.
    void Release();

    bool IsReady() const { return framebuffer_ != 0; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The framebuffer object's GL name (0 while not made).
    std::uint32_t Framebuffer() const { return framebuffer_; }
    // Binds the framebuffer for drawing and reading.
    void Bind() const;

    // Copies the whole back buffer to the bound window's framebuffer, the top row to the top, stretched to
    // drawableWidth x drawableHeight (nearest texel). Leaves the back buffer bound.
    void BlitToWindow(int drawableWidth, int drawableHeight) const;

private:
    std::uint32_t framebuffer_ = 0;
    std::uint32_t colour_ = 0;
    std::uint32_t depthStencil_ = 0;
    int width_ = 0;
    int height_ = 0;
};

// Reads RGBA8 pixels of the current window's framebuffer (the buffer the next swap shows), rows in GL order:
// row 0 is the bottom row of the window.
void ReadWindowPixelsRgba8(int x, int y, int width, int height, std::uint8_t* out);

}  // namespace sys
