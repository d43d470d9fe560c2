// Every picture and font file the game loads from pics/, shared by the
// start-up and default-art tests.
#pragma once
#include <string>

// The asset table's pictures except the figures, and the front-end backdrop.
// clang-format off
inline constexpr const char* PictureFiles[] = {"le5_4x12.bmp", "le5bg_4x12.bmp", "cross_a_02.bmp",
    "cross_b_02.bmp", "cross_c_02.bmp", "cross_d_02.bmp", "cross_f_02.bmp",
    "pic32_1200x900_verlauf_640x480.jpg", "pic32_1200x900_verlauf_640x480_-50_-30.jpg",
    "qmorvel_Tire_Store_v_verlauf_640x480.jpg", "qmorvel_Tire_Store_v_verlauf_640x480_-50_-30.jpg",
    "main-street_a_01_cut_a_01_verlauf_640x480.jpg",
    "main-street_a_01_cut_a_01_verlauf_640x480_-50_-30.jpg",
    "smoke-shop_a_01_cut_a_01_verlauf_640x480.jpg",
    "smoke-shop_a_01_cut_a_01_verlauf_640x480_-50_-30.jpg",
    "flower-shop_a_01_cut_a_01_verlauf_640x480.jpg",
    "flower-shop_a_01_cut_a_01_verlauf_640x480_-50_-30.jpg",
    "dead_a_01_cut_a_01_verlauf_640x480_-50_-30.jpg",
    "hall-of-fame_a_01_cut_a_01_verlauf_640x480_-50_-30.jpg", "title.jpg", "level_a_116x88.bmp",
    "level_b_116x88.bmp", "level_c_116x88.bmp", "level_d_116x88.bmp", "level_e_116x88.bmp",
    "keyboard_a_02_transp-9C9886_220x120.bmp", "singleshot_200x90.bmp", "sixshooter_200x90.bmp",
    "thompson_200x90.bmp", "shot_fail_6x6_e_01.bmp", "shot_a_01.bmp", "shot_b_01.bmp",
    "shot_c_01.bmp", "shot_d_01.bmp", "shot_f_01.bmp", "shot_h_01.bmp", "shot_j_01.bmp",
    "shot_k_01.bmp", "shot_l_01.bmp"};
inline constexpr const char* FontFiles[] = {"andes16.png", "impact16.png", "pussycat18.png",
    "Antiqua_greyed-68-10.png", "Caligula_greyed-68-10.png", "MacHumaine_greyed-68-10.png"};
// clang-format on

// The picture of figure kind 0 to 12 (0 to 7 the gangsters), shot or not.
inline std::string figureFile(int kind, bool hit) {
  return std::string(hit ? "target_hit_" : "target_") + "nopqnopqdeghk"[kind] + "_01_88x200" +
         (kind >= 4 && kind < 8 ? "_mirror" : "") + ".bmp";
}
