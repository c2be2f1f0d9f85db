// The surfaceless EGL context and its framebuffer object, with Mesa's driver kept loaded
// for the life of the process so the leak checker can still name its allocations.
#include "headless/headless_gl.h"

#define GL_GLEXT_PROTOTYPES 1
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <dlfcn.h>
#include <link.h>

#include <string>
#include <string_view>

#include "common/error.h"

namespace tessarine::headless {

namespace {

[[noreturn]] void fail(const std::string& what) {
  throw common::Error("No off-screen OpenGL context: " + what + " (EGL error 0x" +
                      [] {
                        char hex[16];
                        std::snprintf(hex, sizeof hex, "%x", static_cast<unsigned>(eglGetError()));
                        return std::string(hex);
                      }() +
                      ")");
}

// Drawing makes Mesa's driver keep allocations until the process ends, and the leak
// checker's suppressions recognise them by the driver's module name. Terminating the
// display would unload the driver and leave those reports nameless, so once a context
// has loaded it, the driver stays for the life of the process.
void keepDriverLoaded() {
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void*) {
        std::string_view name = info->dlpi_name;
        if (name.find("_dri.so") != std::string_view::npos || name.find("libgallium") != std::string_view::npos) {
          dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        }
        return 0;
      },
      nullptr);
}

}  // namespace

HeadlessGl::HeadlessGl(int width, int height) : width_(width), height_(height) {
  auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (getPlatformDisplay == nullptr) fail("eglGetPlatformDisplayEXT is missing");
  EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (display == EGL_NO_DISPLAY) fail("no surfaceless display");
  if (!eglInitialize(display, nullptr, nullptr)) fail("eglInitialize failed");
  display_ = display;
  if (!eglBindAPI(EGL_OPENGL_API)) {
    eglTerminate(display);
    fail("eglBindAPI(EGL_OPENGL_API) failed");
  }
  const EGLint configAttributes[] = {EGL_SURFACE_TYPE,    EGL_PBUFFER_BIT,  EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                     EGL_RED_SIZE,        8,                EGL_GREEN_SIZE,      8,
                                     EGL_BLUE_SIZE,       8,                EGL_ALPHA_SIZE,      8,
                                     EGL_DEPTH_SIZE,      24,               EGL_NONE};
  EGLConfig config = nullptr;
  EGLint configCount = 0;
  if (!eglChooseConfig(display, configAttributes, &config, 1, &configCount) || configCount == 0) {
    config = nullptr;  // surfaceless contexts need no config
  }
  const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                      EGL_NONE};
  EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
  if (context == EGL_NO_CONTEXT) {
    eglTerminate(display);
    fail("eglCreateContext failed");
  }
  context_ = context;
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
    eglDestroyContext(display, context);
    eglTerminate(display);
    fail("eglMakeCurrent failed");
  }
  keepDriverLoaded();
  glGenFramebuffers(1, &framebuffer_);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glGenRenderbuffers(1, &colorBuffer_);
  glBindRenderbuffer(GL_RENDERBUFFER, colorBuffer_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer_);
  glGenRenderbuffers(1, &depthBuffer_);
  glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer_);
  glDrawBuffer(GL_COLOR_ATTACHMENT0);
  glReadBuffer(GL_COLOR_ATTACHMENT0);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, context);
    eglTerminate(display);
    fail("framebuffer incomplete");
  }
  glViewport(0, 0, width, height);
}

HeadlessGl::~HeadlessGl() {
  glDeleteRenderbuffers(1, &depthBuffer_);
  glDeleteRenderbuffers(1, &colorBuffer_);
  glDeleteFramebuffers(1, &framebuffer_);
  eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  eglDestroyContext(display_, context_);
  eglTerminate(display_);
}

std::vector<std::uint8_t> HeadlessGl::readPixels() const {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width_) * height_ * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

void HeadlessGl::finish() const { glFinish(); }

}  // namespace tessarine::headless
