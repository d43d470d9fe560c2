// SDL joysticks or fake sticks behind one seam.
#include "platform/joystick.h"

#include <SDL.h>

#include <algorithm>

namespace {
constexpr int FakeAxes = 4;
constexpr int FakeButtons = 4;
constexpr int MaxFake = 4;

// Like SDL's, a fake stick's readings change only at an update.
struct FakeStick {
  int16_t axes[FakeAxes];  // as read since the last update
  bool buttons[FakeButtons];
  int16_t heldAxes[FakeAxes];  // as the test holds them now
  bool heldButtons[FakeButtons];
  bool open;
};

bool fake = false;
int fakeCount = 0;
FakeStick fakeSticks[MaxFake];

FakeStick* asFake(PlatformJoystick* stick) { return reinterpret_cast<FakeStick*>(stick); }
SDL_Joystick* asSdl(PlatformJoystick* stick) { return reinterpret_cast<SDL_Joystick*>(stick); }
}  // namespace

int joystickCount() { return fake ? fakeCount : SDL_NumJoysticks(); }

PlatformJoystick* joystickOpen(int index) {
  if (!fake) return reinterpret_cast<PlatformJoystick*>(SDL_JoystickOpen(index));
  if (index < 0 || index >= fakeCount) return nullptr;
  fakeSticks[index].open = true;
  return reinterpret_cast<PlatformJoystick*>(&fakeSticks[index]);
}

bool joystickOpened(int index) {
  // SDL 1.2 reads its joystick list unchecked: without the subsystem, none is open.
  if (!fake) return SDL_WasInit(SDL_INIT_JOYSTICK) && SDL_JoystickOpened(index) != 0;
  return index >= 0 && index < fakeCount && fakeSticks[index].open;
}

void joystickClose(PlatformJoystick* stick) {
  if (!stick) return;
  if (fake) {
    asFake(stick)->open = false;
    return;
  }
  SDL_JoystickClose(asSdl(stick));
}

void joystickUpdate() {
  if (!fake) return SDL_JoystickUpdate();
  for (FakeStick& s : fakeSticks) {
    std::copy(s.heldAxes, s.heldAxes + FakeAxes, s.axes);
    std::copy(s.heldButtons, s.heldButtons + FakeButtons, s.buttons);
  }
}

int16_t joystickAxis(PlatformJoystick* stick, int axis) {
  if (!stick || axis < 0) return 0;
  if (fake) return axis < FakeAxes ? asFake(stick)->axes[axis] : 0;
  if (axis >= SDL_JoystickNumAxes(asSdl(stick))) return 0;
  return SDL_JoystickGetAxis(asSdl(stick), axis);
}

bool joystickButton(PlatformJoystick* stick, int button) {
  if (!stick || button < 0) return false;
  if (fake) return button < FakeButtons && asFake(stick)->buttons[button];
  if (button >= SDL_JoystickNumButtons(asSdl(stick))) return false;
  return SDL_JoystickGetButton(asSdl(stick), button) != 0;
}

void useFakeJoysticks(int count) {
  fake = true;
  fakeCount = count < 0 ? 0 : (count > MaxFake ? MaxFake : count);
  for (FakeStick& s : fakeSticks) s = FakeStick{};
}

void setFakeAxis(int index, int axis, int16_t value) {
  if (index >= 0 && index < MaxFake && axis >= 0 && axis < FakeAxes)
    fakeSticks[index].heldAxes[axis] = value;
}

void setFakeButton(int index, int button, bool pressed) {
  if (index >= 0 && index < MaxFake && button >= 0 && button < FakeButtons)
    fakeSticks[index].heldButtons[button] = pressed;
}

void useRealJoysticks() { fake = false; }
bool fakeJoysticksInUse() { return fake; }
