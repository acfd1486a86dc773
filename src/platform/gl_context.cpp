#include "platform/gl_context.h"

#include <cstring>

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <SDL.h>

#include "platform/window.h"

namespace platform {

namespace {
struct GlContextState {
    SDL_GLContext sdlContext = nullptr;
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext eglContext = EGL_NO_CONTEXT;
    bool offscreen = false;
};
GlContextState gGl;

bool hasExtension(const char* list, const char* name) {
    if (!list || !name) return false;
    size_t n = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += n) {
        bool startOk = p == list || p[-1] == ' ';
        bool endOk = p[n] == ' ' || p[n] == '\0';
        if (startOk && endOk) return true;
    }
    return false;
}

EGLDisplay openOffscreenDisplay() {
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (hasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        auto getPlatformDisplay =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (getPlatformDisplay) {
            EGLDisplay d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
            if (d != EGL_NO_DISPLAY && eglInitialize(d, nullptr, nullptr)) return d;
        }
    }
    EGLDisplay d = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (d != EGL_NO_DISPLAY && eglInitialize(d, nullptr, nullptr)) return d;
    return EGL_NO_DISPLAY;
}

bool createOffscreenContext() {
    gGl.display = openOffscreenDisplay();
    if (gGl.display == EGL_NO_DISPLAY) return false;
    const char* extensions = eglQueryString(gGl.display, EGL_EXTENSIONS);
    if (!hasExtension(extensions, "EGL_KHR_surfaceless_context") || !eglBindAPI(EGL_OPENGL_API)) {
        eglTerminate(gGl.display);
        gGl.display = EGL_NO_DISPLAY;
        return false;
    }
    EGLConfig config = nullptr;
    if (!hasExtension(extensions, "EGL_KHR_no_config_context") &&
        !hasExtension(extensions, "EGL_MESA_configless_context")) {
        const EGLint want[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
        EGLint count = 0;
        if (!eglChooseConfig(gGl.display, want, &config, 1, &count) || count < 1) config = nullptr;
    }
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, 2, EGL_CONTEXT_MINOR_VERSION, 1, EGL_NONE};
    gGl.eglContext = eglCreateContext(gGl.display, config, EGL_NO_CONTEXT, attributes);
    if (gGl.eglContext == EGL_NO_CONTEXT ||
        !eglMakeCurrent(gGl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, gGl.eglContext)) {
        destroyGlContext();
        return false;
    }
    gGl.offscreen = true;
    return true;
}

bool createWindowContext() {
    auto* window = static_cast<SDL_Window*>(sdlWindow());
    if (!window) return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    gGl.sdlContext = SDL_GL_CreateContext(window);
    if (!gGl.sdlContext) return false;
    if (SDL_GL_MakeCurrent(window, gGl.sdlContext) != 0) {
        destroyGlContext();
        return false;
    }
    gGl.offscreen = false;
    return true;
}
}  // namespace

bool createGlContext() {
    if (glContextReady()) return true;
    if (headless() || !sdlWindow()) return createOffscreenContext();
    return createWindowContext();
}

void destroyGlContext() {
    if (gGl.sdlContext) {
        SDL_GL_MakeCurrent(static_cast<SDL_Window*>(sdlWindow()), nullptr);
        SDL_GL_DeleteContext(gGl.sdlContext);
        gGl.sdlContext = nullptr;
    }
    if (gGl.display != EGL_NO_DISPLAY) {
        eglMakeCurrent(gGl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (gGl.eglContext != EGL_NO_CONTEXT) eglDestroyContext(gGl.display, gGl.eglContext);
        eglTerminate(gGl.display);
    }
    gGl.eglContext = EGL_NO_CONTEXT;
    gGl.display = EGL_NO_DISPLAY;
    gGl.offscreen = false;
}

bool glContextReady() { return gGl.sdlContext != nullptr || gGl.eglContext != EGL_NO_CONTEXT; }

bool glContextOffscreen() { return gGl.offscreen; }

void* glProcAddress(const char* name) {
    if (gGl.sdlContext) return SDL_GL_GetProcAddress(name);
    return reinterpret_cast<void*>(eglGetProcAddress(name));
}

void glDrawableSize(int& width, int& height) {
    width = kPictureWidth;
    height = kPictureHeight;
    if (gGl.sdlContext) drawableSize(width, height);
}

void swapGlWindow() {
    if (gGl.sdlContext && sdlWindow()) SDL_GL_SwapWindow(static_cast<SDL_Window*>(sdlWindow()));
}

bool setGlSwapInterval(int interval) {
    if (!gGl.sdlContext) return interval == 0;
    return SDL_GL_SetSwapInterval(interval) == 0;
}

}  // namespace platform
