#include "support/gl_test_environment.h"

#include <dlfcn.h>
#include <epoxy/gl.h>
#include <link.h>

#include <string>
#include <vector>

namespace testsupport {
namespace {

// Keeps every shared object loaded until the process exits. The GL driver allocates for its own lifetime and is
// unloaded when the last context goes; LeakSanitizer's report at exit could then not name the driver's modules,
// and the suppressions for them would not match.
void PinLoadedModules() {
    std::vector<std::string> names;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* out) -> int {
            if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0') {
                static_cast<std::vector<std::string>*>(out)->emplace_back(info->dlpi_name);
            }
            return 0;
        },
        &names);
    // The handles are deliberately never closed.
    for (const std::string& name : names) dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

// Every GL error raised by a call fails the test that made it. Messages of the shader compiler are not errors
// of a call: tests that expect a shader to be refused read its log themselves.
void GLAPIENTRY FailOnGlError(GLenum source, GLenum type, GLuint, GLenum, GLsizei, const GLchar* message,
                              const void*) {
    if (source == GL_DEBUG_SOURCE_API && type == GL_DEBUG_TYPE_ERROR) ADD_FAILURE() << "GL error: " << message;
}

void InstallGlErrorCallback() {
    if (!epoxy_has_gl_extension("GL_KHR_debug") && epoxy_gl_version() < 43) return;
    glEnable(GL_DEBUG_OUTPUT);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageCallback(FailOnGlError, nullptr);
}

}  // namespace

void GlTestEnvironment::SetUp() {
    sys::GlWindowDesc desc;
    desc.title = "Tinmarch tests";
    desc.hidden = true;
    desc.debugContext = true;
    ASSERT_TRUE(window_.Open(desc)) << window_.LastError();
    // The first GL call makes the GL loader hold the driver libraries open until exit. Without it, a test
    // binary whose tests make no GL call unloads them when the window closes, and the driver's allocations
    // kept until exit can no longer be matched to the driver by the leak checker's suppressions.
    sys::QueryGlContext();
    InstallGlErrorCallback();
}

void GlTestEnvironment::TearDown() {
    PinLoadedModules();
    window_.Close();
}

void GlTestEnvironment::Clear(float r, float g, float b, float a) { sys::ClearColour(r, g, b, a); }

std::vector<std::uint8_t> GlTestEnvironment::ReadPixels(int x, int y, int width, int height) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    sys::ReadPixelsRgba8(x, y, width, height, pixels.data());
    return pixels;
}

}  // namespace testsupport
