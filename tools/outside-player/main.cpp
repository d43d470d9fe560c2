// A player from outside the game: it sees the X screen as a player does, knows
// the twelve places of the street and what each figure looks like, and clicks
// the heads of the gangsters standing there, never a bystander. It also closes
// a window as a desktop's close button does.
//   lakeport-outside-player PICS SECONDS X Y W H
//       plays for SECONDS on the picture at (X, Y), W by H; prints "shots N"
//   lakeport-outside-player close WINDOW
//       asks the window to close
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {
constexpr int CardW = 88, CardH = 200, Compared = 120;  // the rows above the display strip

// Where a figure's person pixels are (red 0, green at most 194) in a 24-bit
// BMP of the art; empty when it cannot be read.
std::vector<bool> personMask(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), {});
  if (b.size() < 54) return {};
  auto word = [&](int at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24; };
  const int stride = (3 * CardW + 3) & ~3;
  if (word(18) != CardW || word(22) != CardH || b.size() < size_t(word(10) + stride * CardH))
    return {};
  std::vector<bool> mask(CardW * Compared);
  for (int y = 0; y < Compared; ++y)
    for (int x = 0; x < CardW; ++x) {
      const unsigned char* p = &b[word(10) + (CardH - 1 - y) * stride + 3 * x];  // B, G, R
      mask[y * CardW + x] = p[2] == 0 && p[1] <= 194;
    }
  return mask;
}

int closeWindow(Display* d, Window w) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, w, False, NoEventMask, &e);
  XSync(d, False);
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return fprintf(stderr, "lakeport-outside-player: no X display\n"), 2;
  if (argc == 3 && strcmp(argv[1], "close") == 0) return closeWindow(d, strtoul(argv[2], 0, 0));
  if (argc != 7) return fprintf(stderr, "usage: lakeport-outside-player PICS SECONDS X Y W H\n"), 2;
  const int bx = atoi(argv[3]), by = atoi(argv[4]), bw = atoi(argv[5]), bh = atoi(argv[6]);
  // The gangsters n, o, p, q and their mirror pictures; bystanders match none.
  std::vector<std::vector<bool>> kinds;
  for (std::string k : {"n", "o", "p", "q", "n_m", "o_m", "p_m", "q_m"}) {
    const bool mirror = k.size() > 1;
    kinds.push_back(personMask(std::string(argv[1]) + "/target_" + k[0] + "_01_88x200" +
                               (mirror ? "_mirror" : "") + ".bmp"));
    if (kinds.back().empty())
      return fprintf(stderr, "lakeport-outside-player: no figure %s\n", k.c_str()), 2;
  }
  // The middle of a game pixel's run on the screen.
  auto sx = [&](int g) { return (2 * g + 1) * bw / 1280; };
  auto sy = [&](int g) { return (2 * g + 1) * bh / 960; };
  const auto start = std::chrono::steady_clock::now();
  auto seconds = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  bool shot[12] = {};    // until the place is empty again: the dead keep their outline
  double came[12] = {};  // when the figure there came; a late shot may find it gone
  int shots = 0;
  while (seconds() < atof(argv[2])) {
    XImage* img = XGetImage(d, DefaultRootWindow(d), bx, by, bw, bh, AllPlanes, ZPixmap);
    if (!img) break;
    for (int place = 0; place < 12; ++place) {
      const int left = place % 6 * 104 + 16, top = place < 6 ? 26 : 254;
      std::vector<bool> seen(CardW * Compared);
      for (int y = 0; y < Compared; ++y)
        for (int x = 0; x < CardW; ++x) {
          const unsigned long p = XGetPixel(img, sx(left + x), sy(top + y));
          seen[y * CardW + x] = (p >> 16 & 255) == 0 && (p >> 8 & 255) <= 194;
        }
      if (std::count(seen.begin(), seen.end(), true) < CardW * Compared / 50)
        shot[place] = false, came[place] = seconds();
      for (size_t k = 0; k < 8 && !shot[place] && seconds() - came[place] < 1.5; ++k) {
        int differ = 0;
        for (int i = 0; i < CardW * Compared; ++i) differ += seen[i] != kinds[k][i];
        if (differ > CardW * Compared / 12) continue;  // a crosshair or a flash may cover some
        // The middle of the top of its head, ten pixels down.
        int first = 0;
        while (first < CardW * Compared && !kinds[k][first]) ++first;
        const int row = first / CardW + 10;
        int from = 0, to = CardW - 1;
        while (!kinds[k][row * CardW + from]) ++from;
        while (!kinds[k][row * CardW + to]) --to;
        XTestFakeMotionEvent(d, -1, bx + sx(left + (from + to) / 2), by + sy(top + row), 0);
        for (int button : {1, ++shots % 6 ? 0 : 3})  // the Six-Shooter's sixth: reload
          if (button)
            XTestFakeButtonEvent(d, button, True, 0), XTestFakeButtonEvent(d, button, False, 0);
        XSync(d, False);
        shot[place] = true;
        usleep(150000);  // the guns fire once in 80 ms: a second click in that time only aims
      }
    }
    XDestroyImage(img);
    usleep(30000);
  }
  printf("shots %d\n", shots);
  return 0;
}
