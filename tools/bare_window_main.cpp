// sandmere-bare-window: the smallest SDL2 + OpenGL program, the yardstick for the game's start-up.
// It opens an 800 x 600 window with a GL context, clears it black and shows it, then waits for
// the window to be closed (or for SIGTERM). It links SDL2 and libGL alone, so the time its
// window takes to map is what the libraries and the X server cost any program.
#include <SDL.h>
#include <SDL_opengl.h>

int main(int, char**) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    SDL_Window* window = SDL_CreateWindow("bare window", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 800, 600,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (!window) return 1;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) return 1;
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    bool running = true;
    while (running) {
        glClear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapWindow(window);
        SDL_Event event;
        if (SDL_WaitEvent(&event) && event.type == SDL_QUIT) running = false;
    }
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
