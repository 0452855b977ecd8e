#include "sys/present_blit.h"

#include <epoxy/gl.h>

namespace sys {

BackBuffer::~BackBuffer() { Release(); }

bool BackBuffer::Resize(int width, int height) {
    Release();
    if (width <= 0 || height <= 0) return false;
    GLuint names[2] = {0, 0};
    glGenRenderbuffers(2, names);
    colour_ = names[0];
    depthStencil_ = names[1];
    glBindRenderbuffer(GL_RENDERBUFFER, colour_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, depthStencil_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);

    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    framebuffer_ = framebuffer;
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthStencil_);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        Release();
        return false;
    }
    width_ = width;
    height_ = height;
    return true;
}

void BackBuffer::Release() {
    if (framebuffer_ != 0) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        const GLuint framebuffer = framebuffer_;
        glDeleteFramebuffers(1, &framebuffer);
    }
    if (colour_ != 0 || depthStencil_ != 0) {
        const GLuint names[2] = {colour_, depthStencil_};
        glDeleteRenderbuffers(2, names);
    }
    framebuffer_ = colour_ = depthStencil_ = 0;
    width_ = height_ = 0;
}

void BackBuffer::Bind() const { glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_); }

void BackBuffer::BlitToWindow(int drawableWidth, int drawableHeight) const {
    if (framebuffer_ == 0) return;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    // The blit obeys the scissor test; the whole frame is always copied.
    GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    GLboolean mask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    // Back-buffer row 0 is the top row; the window's row 0 is its bottom row.
    glBlitFramebuffer(0, 0, width_, height_, 0, drawableHeight, drawableWidth, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glColorMask(mask[0], mask[1], mask[2], mask[3]);
    if (scissor) glEnable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
}

void ReadWindowPixelsRgba8(int x, int y, int width, int height, std::uint8_t* out) {
    GLint previous = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, out);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previous));
}

}  // namespace sys
