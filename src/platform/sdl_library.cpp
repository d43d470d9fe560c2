// Telling classic SDL 1.2 from sdl12-compat, and sdl12-compat's hints.
#include "platform/sdl_library.h"

#include <SDL.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace {
// SDL 2 hints, read from the environment when SDL 2 needs them.
const char* const hints[][2] = {
    {"SDL_RENDER_DRIVER", "software"},
    {"SDL_FRAMEBUFFER_ACCELERATION", "0"},  // or the window's surface is OpenGL again
    {"SDL_JOYSTICK_HIDAPI", "0"},           // pads read as classic SDL reads them
};
constexpr int HintCount = sizeof hints / sizeof hints[0];
bool hintSet[HintCount] = {};
}  // namespace

bool onSdl12Compat() { return SDL_Linked_Version()->patch >= 50; }

std::string sdlLibraryName() {
  const SDL_version* v = SDL_Linked_Version();
  char name[96];
  if (!onSdl12Compat()) {
    snprintf(name, sizeof name, "classic SDL %d.%d.%d", v->major, v->minor, v->patch);
    return name;
  }
  snprintf(name, sizeof name, "sdl12-compat %d.%d.%d", v->major, v->minor, v->patch);
  std::string said = name;
  // sdl12-compat has loaded SDL 2 already; nothing new is loaded here.
  if (void* sdl2 = dlopen("libSDL2-2.0.so.0", RTLD_LAZY | RTLD_NOLOAD)) {
    struct Version {
      Uint8 major, minor, patch;
    } two{};
    if (auto get = reinterpret_cast<void (*)(Version*)>(dlsym(sdl2, "SDL_GetVersion"))) {
      get(&two);
      snprintf(name, sizeof name, " over SDL %d.%d.%d", two.major, two.minor, two.patch);
      said += name;
    }
    dlclose(sdl2);
  }
  return said;
}

void prepareSdl() {
  if (!onSdl12Compat()) return;
  for (int i = 0; i < HintCount; ++i)
    if (!getenv(hints[i][0])) hintSet[i] = setenv(hints[i][0], hints[i][1], 0) == 0;
}

void resetSdlHints() {
  for (int i = 0; i < HintCount; ++i)
    if (hintSet[i]) unsetenv(hints[i][0]), hintSet[i] = false;
}
