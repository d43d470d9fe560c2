// Composes screens of the game from the default art with the game's own font
// and picture code, for looking at the art without playing: run it in a game
// directory (pics/ below the working directory) and it writes BMP files.
//
//   lakeport-showcase fonts|title|level N|hiscore|dead|weapons|levels OUT.bmp
//   lakeport-showcase widths x   (prints where every fixed text ends)
#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game_texts.h"
#include "gfx/font.h"

namespace {
SDL_Surface* screen = nullptr;
BitmapFont* fonts[6] = {};
const char* const fontFiles[6] = {"andes16.png",
                                  "impact16.png",
                                  "pussycat18.png",
                                  "Antiqua_greyed-68-10.png",
                                  "Caligula_greyed-68-10.png",
                                  "MacHumaine_greyed-68-10.png"};
const char* const levelFiles[5] = {
    "pic32_1200x900_verlauf_640x480", "qmorvel_Tire_Store_v_verlauf_640x480",
    "main-street_a_01_cut_a_01_verlauf_640x480", "smoke-shop_a_01_cut_a_01_verlauf_640x480",
    "flower-shop_a_01_cut_a_01_verlauf_640x480"};
const char* const figureNames[13] = {
    "n_01_88x200",        "o_01_88x200",        "p_01_88x200",        "q_01_88x200",
    "n_01_88x200_mirror", "o_01_88x200_mirror", "p_01_88x200_mirror", "q_01_88x200_mirror",
    "d_01_88x200",        "e_01_88x200",        "g_01_88x200",        "h_01_88x200",
    "k_01_88x200"};
const int flashOffset[8][2] = {{6, -26},   {-41, -8}, {-20, -64}, {-20, -34},
                               {-26, -18}, {24, -8},  {0, -64},   {0, -34}};

SDL_Surface* load(const std::string& name, long key = -1) {
  SDL_Surface* s = IMG_Load(("pics/" + name).c_str());
  if (!s) {
    fprintf(stderr, "showcase: cannot load pics/%s\n", name.c_str());
    exit(1);
  }
  if (key >= 0)
    SDL_SetColorKey(s, SDL_SRCCOLORKEY,
                    SDL_MapRGB(s->format, key >> 16, (key >> 8) & 255, key & 255));
  return s;
}
void blit(SDL_Surface* s, int x, int y, SDL_Rect* src = nullptr) {
  SDL_Rect at{Sint16(x), Sint16(y), 0, 0};
  SDL_UpperBlit(s, src, screen, &at);
}
void print(int column, int row, const char* text) {
  DrawText(screen, fonts[2], column * 16, row * 16 + 15, text);
}
void printScreen(const char* name) {
  for (const PlacedText& t : GameTexts)
    if (!strcmp(t.screen, name)) print(t.column, t.row, t.text);
}

// Every glyph of the six fonts, three lines each, and a sentence, on a
// sheet taller than the screen: the lower half over a level scene.
SDL_Surface* fontSheet() {
  SDL_Surface* sheet =
      SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 960, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
  SDL_FillRect(sheet, nullptr, SDL_MapRGB(sheet->format, 40, 32, 26));
  SDL_Surface* back = IMG_Load("pics/pic32_1200x900_verlauf_640x480.jpg");
  SDL_Rect at{0, 480, 0, 0};
  if (back) SDL_UpperBlit(back, nullptr, sheet, &at);
  int y = 6;
  for (int f = 0; f < 6; ++f) {
    DrawText(sheet, fonts[2], 6, y, fontFiles[f]);
    y += 20;
    char line[128];
    int n = 0;
    for (int c = 33; c <= 256; ++c) {
      const bool end = c == 256 || (c == 127 && n) || (n >= 70 && c != 127);
      if (end && n) {
        line[n] = 0;
        DrawText(sheet, fonts[f], 6, y, line);
        y += fonts[f]->height + 1;
        n = 0;
      }
      if (c < 127 || c > 160) line[n++] = char(c);
    }
    DrawText(sheet, fonts[f], 6, y,
             "Lakeport Nights: shoot the gangsters, spare the bystanders. O'DORRAN\xB4S 1926");
    y += fonts[f]->height + 10;
  }
  return sheet;
}

void levelScene(int level) {
  SDL_Surface* normal = load(std::string(levelFiles[level]) + ".jpg");
  SDL_Surface* dimmed = load(std::string(levelFiles[level]) + "_-50_-30.jpg");
  blit(normal, 0, 0);
  for (int slot = 0; slot < 12; ++slot) {
    SDL_Rect r{Sint16((slot % 6) * 104 + 60 - 44), Sint16((slot < 6 ? 126 : 354) - 100), 88, 200};
    blit(dimmed, r.x, r.y, &r);
  }
  SDL_Surface* mark = load("shot_fail_6x6_e_01.bmp", 0xFFFFFF);
  const int marks[][2] = {{110, 240}, {300, 60}, {530, 470}, {220, 250}, {215, 244}};
  for (auto& m : marks) blit(mark, m[0] - 4, m[1] - 4);
  // A few figures on their places: gangsters firing, a bystander, a hit one.
  const int shown[][2] = {{0, 1}, {2, 8}, {5, 3}, {7, 6}, {9, 4}, {10, 11}, {1, 9}};
  for (auto& s : shown) {
    const int kind = s[0], slot = (s[1] + level) % 12;
    const int x = (slot % 6) * 104 + 60, y = slot < 6 ? 126 : 354;
    const bool hit = kind == 10;
    std::string name = std::string(hit ? "target_hit_" : "target_") + figureNames[kind] + ".bmp";
    blit(load(name), x - 44, y - 100);
    if (kind < 8 && kind != 5) {
      static const char* flashes[] = {"a", "b", "c", "d", "f", "h", "j", "k", "l"};
      SDL_Surface* flash = load(std::string("shot_") + flashes[kind] + "_01.bmp", 0);
      blit(flash, x + flashOffset[kind][0], y + flashOffset[kind][1]);
    }
  }
  SDL_Rect left{16, 462, 88, 18}, right{432, 462, 192, 18};
  blit(dimmed, 16, 462, &left);
  blit(dimmed, 432, 462, &right);
  print(1, 28, "  7 kills");
  print(27, 28, "  12 targets left");
  SDL_Surface* pip = load("le5_4x12.bmp");
  SDL_Surface* pipEmpty = load("le5bg_4x12.bmp");
  for (int k = 0; k < 50; ++k) blit(k < 37 ? pip : pipEmpty, 120 + 6 * k, 465);
  const char* crosses[] = {"a", "b", "c", "d", "f"};
  for (int i = 0; i < 5; ++i)
    blit(load(std::string("cross_") + crosses[i] + "_02.bmp", 0), 90 + 110 * i - 15,
         300 - 15 + 40 * (i % 2));
}

// A filled table as the end of a round shows it, with the name entry open.
void hiscoreTable() {
  const char* names[10] = {"LUCKY LOU", "MAXIMILIAN MORGENTAU",
                           "DOC",       "THE KID",
                           "Anonymous", "BIG AL",
                           "ROSIE",     "ANONYMOUS",
                           "SLIM",      "PEG"};
  const char* guns[3] = {"Single Action", "Six-Shooter", "Thompson"};
  const char* tags[5] = {"-M---", "--K--", "TM---", "---J-", "-MK-J"};
  print(1, 1, "Garage Hiscore Table");
  print(2, 3, "Pos.");
  print(4, 3, " Name");
  print(18, 3, "Score");
  print(21, 3, "Gun");
  print(28, 3, "  #Shots");
  print(32, 3, "  #Players");
  char line[64];
  for (int i = 0; i < 10; ++i) {
    snprintf(line, sizeof line, "%d.", i + 1);
    print(2, 5 + i, line);
    snprintf(line, sizeof line, " %s", names[i]);
    print(4, 5 + i, line);
    snprintf(line, sizeof line, "%d", 28 - 2 * i);
    print(18, 5 + i, line);
    print(21, 5 + i, guns[i % 3]);
    snprintf(line, sizeof line, "  %d", 60 + 17 * i);
    print(28, 5 + i, line);
    snprintf(line, sizeof line, "  %d", 1 + i % 3);
    print(32, 5 + i, line);
    snprintf(line, sizeof line, "    (%s)", tags[i % 5]);
    print(34, 5 + i, line);
  }
  print(1, 16, "Round completed. Your score: 25, Thompson, shots: 60, players: 1 (-M---)");
  print(1, 18,
        "Please enter your name (20 chars) or press button 2 to cancel: LUCKY\xB4S         .");
  print(1, 27, "Press fire to play this level again, or button 2 to go to the title screen");
}

void menu(const char* which) {
  blit(load("pic32_1200x900_verlauf_640x480_-50_-30.jpg"), 0, 0);
  printScreen(which);
  if (!strcmp(which, "weapons")) {
    const char* files[] = {"singleshot_200x90.bmp", "sixshooter_200x90.bmp", "thompson_200x90.bmp"};
    for (int i = 0; i < 3; ++i) blit(load(files[i]), 10 + 210 * i, 70);
  } else {
    for (int i = 0; i < 5; ++i)
      blit(load(std::string("level_") + char('a' + i) + "_116x88.bmp"), 10 + 126 * i, 70);
  }
  blit(load("cross_b_02.bmp", 0), 300 - 15, 120 - 15);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr,
            "usage: lakeport-showcase fonts|title|level N|hiscore|dead|weapons|levels OUT.bmp\n");
    return 1;
  }
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  SDL_Init(SDL_INIT_VIDEO);
  screen = SDL_SetVideoMode(640, 480, 24, SDL_SWSURFACE);
  for (int i = 0; i < 6; ++i) {
    fonts[i] = LoadBitmapFont((std::string("pics/") + fontFiles[i]).c_str());
    if (!fonts[i]) {
      fprintf(stderr, "showcase: cannot load font %s\n", fontFiles[i]);
      return 1;
    }
  }
  const std::string mode = argv[1];
  if (mode == "widths") {  // where each fixed text ends, widest first
    for (const PlacedText& t : GameTexts) {
      int w = 0;
      for (const unsigned char* p = reinterpret_cast<const unsigned char*>(t.text); *p; ++p)
        w += fonts[2]->glyphs[*p].w;
      printf("%4d %4d %s\n", t.column * 16 + w, t.rightLimit, t.text);
    }
    return 0;
  }
  if (mode == "fonts")
    screen = fontSheet();
  else if (mode == "title") {
    blit(load("title.jpg"), 0, 0);
    printScreen("title");
    print(25, 27, "  Lakeport Nights 1.0");
  } else if (mode == "level" && argc >= 4) {
    levelScene(atoi(argv[2]));
  } else if (mode == "hiscore" || mode == "dead") {
    blit(load(mode == "hiscore" ? "hall-of-fame_a_01_cut_a_01_verlauf_640x480_-50_-30.jpg"
                                : "dead_a_01_cut_a_01_verlauf_640x480_-50_-30.jpg"),
         0, 0);
    hiscoreTable();
    blit(load("keyboard_a_02_transp-9C9886_220x120.bmp", 0xA8A594), 17, 335);
  } else if (mode == "weapons" || mode == "levels") {
    menu(mode.c_str());
  } else {
    fprintf(stderr, "showcase: unknown mode %s\n", mode.c_str());
    return 1;
  }
  if (SDL_SaveBMP(screen, argv[argc - 1]) != 0) {
    fprintf(stderr, "showcase: cannot write %s\n", argv[argc - 1]);
    return 1;
  }
  SDL_Quit();
  return 0;
}
