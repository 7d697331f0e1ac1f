// stages: preloaded (LD_PRELOAD) into knotwerry or the bare window by benchrun, it writes
// the steady clock at each start-up stage to standard error, once each, so that benchrun
// can tell where the time to the first frame goes. It only passes the calls on.
#include <GL/glew.h>
#include <GL/glut.h>
#include <dlfcn.h>

#include <cstdio>
#include <ctime>

namespace {

// "stage NAME SECONDS", on CLOCK_MONOTONIC, which is benchrun's steady clock too.
void mark(const char* stage)
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "stage %s %lld.%09ld\n", stage, static_cast<long long>(now.tv_sec),
                 now.tv_nsec);
}

// The library's own function of that name, which this one stands in front of.
template <typename Function> Function next(const char* name, Function)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

[[gnu::constructor]] void loaded()
{
    mark("loaded");
}

}  // namespace

extern "C" {

void glutInit(int* argc, char** argv)
{
    static auto real = next("glutInit", &glutInit);
    real(argc, argv);
    mark("glutInit");
}

int glutCreateWindow(const char* title)
{
    static auto real = next("glutCreateWindow", &glutCreateWindow);
    int window = real(title);
    mark("glutCreateWindow");
    return window;
}

GLenum glewInit()
{
    static auto real = next("glewInit", &glewInit);
    mark("glewInit-start");
    GLenum result = real();
    mark("glewInit");
    return result;
}

void glutMainLoop()
{
    static auto real = next("glutMainLoop", &glutMainLoop);
    mark("glutMainLoop");
    real();
}

// The first GL call of either program's display.
void glClearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)
{
    static auto real = next("glClearColor", &glClearColor);
    static bool seen = false;
    if (!seen)
        mark("display");
    seen = true;
    real(red, green, blue, alpha);
}

void glDrawArrays(GLenum mode, GLint first, GLsizei count)
{
    static auto real = next("glDrawArrays", &glDrawArrays);
    static bool seen = false;
    if (!seen)
        mark("glDrawArrays-start");
    real(mode, first, count);
    if (!seen)
        mark("glDrawArrays");
    seen = true;
}

void glutSwapBuffers()
{
    static auto real = next("glutSwapBuffers", &glutSwapBuffers);
    static bool seen = false;
    if (!seen)
        mark("glutSwapBuffers-start");
    real();
    if (!seen)
        mark("glutSwapBuffers");
    seen = true;
}

}  // extern "C"
