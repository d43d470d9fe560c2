// Every picture and font file the game loads from pics/, with its size and
// the colour key the game sets, shared by the start-up and default-art tests.
#pragma once

constexpr long NoKey = -1;

struct PictureFile {
  const char* file;
  int w, h;
  long key;  // 0xRRGGBB set as colour key by the game, or NoKey
};

// The asset table's pictures except the figures, and the front-end backdrop.
// clang-format off
inline constexpr PictureFile Pictures[] = {
    {"le5_4x12.bmp", 4, 12, NoKey}, {"le5bg_4x12.bmp", 4, 12, NoKey},
    {"cross_a_02.bmp", 31, 31, 0x000000}, {"cross_b_02.bmp", 31, 31, 0x000000},
    {"cross_c_02.bmp", 31, 31, 0x000000}, {"cross_d_02.bmp", 31, 31, 0x000000},
    {"cross_f_02.bmp", 31, 31, 0x000000}, {"pic32_1200x900_verlauf_640x480.jpg", 640, 480, NoKey},
    {"pic32_1200x900_verlauf_640x480_-50_-30.jpg", 640, 480, NoKey},
    {"qmorvel_Tire_Store_v_verlauf_640x480.jpg", 640, 480, NoKey},
    {"qmorvel_Tire_Store_v_verlauf_640x480_-50_-30.jpg", 640, 480, NoKey},
    {"main-street_a_01_cut_a_01_verlauf_640x480.jpg", 640, 480, NoKey},
    {"main-street_a_01_cut_a_01_verlauf_640x480_-50_-30.jpg", 640, 480, NoKey},
    {"smoke-shop_a_01_cut_a_01_verlauf_640x480.jpg", 640, 480, NoKey},
    {"smoke-shop_a_01_cut_a_01_verlauf_640x480_-50_-30.jpg", 640, 480, NoKey},
    {"flower-shop_a_01_cut_a_01_verlauf_640x480.jpg", 640, 480, NoKey},
    {"flower-shop_a_01_cut_a_01_verlauf_640x480_-50_-30.jpg", 640, 480, NoKey},
    {"dead_a_01_cut_a_01_verlauf_640x480_-50_-30.jpg", 640, 480, NoKey},
    {"hall-of-fame_a_01_cut_a_01_verlauf_640x480_-50_-30.jpg", 640, 480, NoKey},
    {"title.jpg", 640, 480, NoKey}, {"level_a_116x88.bmp", 116, 88, NoKey},
    {"level_b_116x88.bmp", 116, 88, NoKey}, {"level_c_116x88.bmp", 116, 88, NoKey},
    {"level_d_116x88.bmp", 116, 88, NoKey}, {"level_e_116x88.bmp", 116, 88, NoKey},
    {"keyboard_a_02_transp-9C9886_220x120.bmp", 220, 120, 0xA8A594},
    {"singleshot_200x90.bmp", 200, 90, NoKey}, {"sixshooter_200x90.bmp", 200, 90, NoKey},
    {"thompson_200x90.bmp", 200, 90, NoKey}, {"shot_fail_6x6_e_01.bmp", 6, 6, 0xFFFFFF},
    {"shot_a_01.bmp", 20, 20, 0x000000}, {"shot_b_01.bmp", 20, 20, 0x000000},
    {"shot_c_01.bmp", 20, 20, 0x000000}, {"shot_d_01.bmp", 20, 20, 0x000000},
    {"shot_f_01.bmp", 20, 20, 0x000000}, {"shot_h_01.bmp", 20, 20, 0x000000},
    {"shot_j_01.bmp", 20, 20, 0x000000}, {"shot_k_01.bmp", 20, 20, 0x000000},
    {"shot_l_01.bmp", 20, 20, 0x000000},
};
// clang-format on

// The figures (88 by 200) by kind 0 to 12, each as "target_" and
// "target_hit_" + name + ".bmp", with the gangster kinds' flash offset.
struct FigureFile {
  const char* name;
  bool gangster;
  int flashDx, flashDy;
};
inline constexpr FigureFile Figures[] = {
    {"n_01_88x200", true, 6, -26},          {"o_01_88x200", true, -41, -8},
    {"p_01_88x200", true, -20, -64},        {"q_01_88x200", true, -20, -34},
    {"n_01_88x200_mirror", true, -26, -18}, {"o_01_88x200_mirror", true, 24, -8},
    {"p_01_88x200_mirror", true, 0, -64},   {"q_01_88x200_mirror", true, 0, -34},
    {"d_01_88x200", false, 0, 0},           {"e_01_88x200", false, 0, 0},
    {"g_01_88x200", false, 0, 0},           {"h_01_88x200", false, 0, 0},
    {"k_01_88x200", false, 0, 0},
};

// The font strips by font code, with their glyph heights.
// clang-format off
inline constexpr const char* FontFiles[] = {"andes16.png", "impact16.png", "pussycat18.png",
    "Antiqua_greyed-68-10.png", "Caligula_greyed-68-10.png", "MacHumaine_greyed-68-10.png"};
// clang-format on
inline constexpr int FontHeights[] = {16, 16, 18, 16, 16, 16};
