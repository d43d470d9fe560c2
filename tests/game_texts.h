// Every fixed text of the game's screens with its grid place (font code 3,
// 16-pixel cells), for checks that the default font fits them on the screen.
// Formats carry sample values as wide as a real game produces.
#pragma once

struct PlacedText {
  const char* screen;
  int column;
  int row;
  const char* text;
  int rightLimit;  // the text must end at or before this x (exclusive)
};

constexpr int ScreenRight = 640;

// screen names the screen; "-alt" marks a text that stands in the place of
// another one of its screen (the other device report, the other result line).
inline constexpr PlacedText GameTexts[] = {
    // Title, joypad-only (kiosk) version.
    {"kiosk", 1, 7, "kioskPod version", ScreenRight},
    {"kiosk", 1, 9, "This is an one or two player game. The players work collaboratively to master", ScreenRight},
    {"kiosk", 1, 10, "each level.", ScreenRight},
    {"kiosk", 1, 12, "It is possible to play with up to two joypads (button one fires, button two", ScreenRight},
    {"kiosk", 1, 13, "reloads). The second player may join (by pressing a button on his joypad) and", ScreenRight},
    {"kiosk", 1, 14, "leave (by doing nothing for ten seconds) at any time.", ScreenRight},
    {"kiosk", 1, 16, "Use only for educational purposes.", ScreenRight},
    {"kiosk", 1, 18, "Press fire to continue, or button 2 to exit", ScreenRight},
    // Title, device report and general help.
    {"title", 1, 7, "No tracker detected", ScreenRight},
    {"title-alt", 1, 7, "Tracker detected", ScreenRight},
    {"title", 1, 8, "Mouse detected", ScreenRight},
    {"title", 1, 9, "Keyboard detected", ScreenRight},
    {"title", 1, 10, "No joysticks detected", ScreenRight},
    {"title-alt", 1, 10, "Two joysticks detected", ScreenRight},
    {"title-alt", 1, 10, "Joystick detected", ScreenRight},
    {"title", 1, 12, "It is possible to play using the keyboard (cursor keys move, Ctrl fires, Alt", ScreenRight},
    {"title", 1, 13, "reloads), mouse, tracker, and up to two joysticks (button one fires, button two", ScreenRight},
    {"title", 1, 14, "reloads with all of these).", ScreenRight},
    {"title", 1, 16, "All players work collaboratively to master each level. Players can join (by moving", ScreenRight},
    {"title", 1, 17, "an input device) and leave (by doing nothing for ten seconds) at any time.", ScreenRight},
    {"title", 1, 19, "Use only for educational purposes.", ScreenRight},
    {"title", 1, 21, "Press fire to continue, or button 2 to exit", ScreenRight},
    // Story.
    {"story", 1, 1, "Despite all efforts made by the police,", ScreenRight},
    {"story", 1, 2, "violence and injustice rule the streets.", ScreenRight},
    {"story", 1, 3, "There is only one man who can survive gangland,", ScreenRight},
    {"story", 1, 4, "defend the world and face the gangsters.", ScreenRight},
    {"story", 1, 6, "Your mission is to shoot as many bad guys as possible,", ScreenRight},
    {"story", 1, 7, "but avoid hurting any innocent bystanders.", ScreenRight},
    {"story", 1, 27, "Press fire to continue, or button 2 to go to the title screen", ScreenRight},
    // Display help.
    {"help", 1, 1, "On the screen during the game there are", ScreenRight},
    {"help", 1, 2, "several displays. The main action happens in", ScreenRight},
    {"help", 1, 3, "the center. In the lower left corner is the", ScreenRight},
    {"help", 1, 4, "body count of all shot gangsters. In the", ScreenRight},
    {"help", 1, 5, "lower center is your energy level. If this", ScreenRight},
    {"help", 1, 6, "reaches zero your are dead. The number of", ScreenRight},
    {"help", 1, 7, "gangster still to come in the ongoing level", ScreenRight},
    {"help", 1, 8, "is displayed in the lower right corner of", ScreenRight},
    {"help", 1, 9, "the screen.", ScreenRight},
    {"help", 1, 27, "Press fire to continue, or button 2 to go to the title screen", ScreenRight},
    // Weapon choice: three columns under the three pictures.
    {"weapons", 1, 1, "Weapons", ScreenRight},
    {"weapons", 1, 10, "Smith n' Wesson Model 73", 14 * 16},
    {"weapons", 1, 11, "Single action revolver.", 14 * 16},
    {"weapons", 1, 12, "Manually operated, fires", 14 * 16},
    {"weapons", 1, 13, "fairly slowly but", 14 * 16},
    {"weapons", 1, 14, "accurately.", 14 * 16},
    {"weapons", 14, 10, "  Colt Navy 1902", 27 * 16},
    {"weapons", 14, 11, "  Six shot revolver.", 27 * 16},
    {"weapons", 14, 12, "  Semi-automatic, a fast", 27 * 16},
    {"weapons", 14, 13, "  and reliable weapon.", 27 * 16},
    {"weapons", 14, 14, "  Widely used by", 27 * 16},
    {"weapons", 14, 15, "  Metropolitan Police from", 27 * 16},
    {"weapons", 14, 16, "  1911 to 1923 all over the", 27 * 16},
    {"weapons", 14, 17, "  country.", 27 * 16},
    {"weapons", 14, 18, "  Default choice.", 27 * 16},
    {"weapons", 27, 10, "  1921 Thompson machine gun", ScreenRight},
    {"weapons", 27, 11, "  Forty shots.", ScreenRight},
    {"weapons", 27, 12, "  Full automatic. A deadly", ScreenRight},
    {"weapons", 27, 13, "  weapon on short distances.", ScreenRight},
    {"weapons", 27, 14, "  Made famous by Rusty", ScreenRight},
    {"weapons", 27, 15, "  'Machine Gun' Mahone who", ScreenRight},
    {"weapons", 27, 16, "  introduced it to gang", ScreenRight},
    {"weapons", 27, 17, "  warfare in Lakeport in 1926.", ScreenRight},
    {"weapons", 1, 27, "Select a weapon, or press button 2 to go to the title screen", ScreenRight},
    // Level choice: five columns under the five pictures.
    {"levels", 1, 1, "Levels", ScreenRight},
    {"levels", 1, 10, "Garage (easy)", 9 * 16},
    {"levels", 9, 10, "Tire Store", 17 * 16},
    {"levels", 9, 11, "(easy-medium)", 17 * 16},
    {"levels", 17, 10, "Main Street", 24 * 16},
    {"levels", 17, 11, "(medium)", 24 * 16},
    {"levels", 24, 10, "     Smoke Shop", 32 * 16},
    {"levels", 24, 11, "     (medium-hard)", 32 * 16},
    {"levels", 32, 10, "     Flower Shop", ScreenRight},
    {"levels", 32, 11, "     (hard)", ScreenRight},
    {"levels", 1, 13, "The shooting accuracy of the gangsters depend", ScreenRight},
    {"levels", 1, 14, "on the level you choose. The gangster's", ScreenRight},
    {"levels", 1, 15, "shooting frequence stays the same in all levels.", ScreenRight},
    {"levels", 1, 16, "The more players there are, the shorter are", ScreenRight},
    {"levels", 1, 17, "the breaks the gangsters take. That means,", ScreenRight},
    {"levels", 1, 18, "you are going to face more of them at once.", ScreenRight},
    {"levels", 1, 19, "The choice of weapon does not directly influence", ScreenRight},
    {"levels", 1, 20, "the difficulty.", ScreenRight},
    {"levels", 1, 27, "Select a level, or press button 2 to go to the title screen", ScreenRight},
    // In-game display strip: the counters stay on their panels.
    {"round", 1, 28, "  -30 kills", 120},
    {"round", 27, 28, "  30 targets left", 432 + 192},
    // End of round: result line, hiscore table, name entry.
    {"hiscore", 1, 16, "You've been shot. Your score: -15, Single Action, shots: 9999, players: 5 (TMKJJ)", ScreenRight},
    {"hiscore-alt", 1, 16, "Round completed. Your score: 30, Six-Shooter, shots: 9999, players: 5 (TMKJJ)", ScreenRight},
    {"hiscore", 1, 1, "O'Dorran's Flower Shop Hiscore Table", ScreenRight},
    {"hiscore-alt", 1, 1, "Vivovazor Smoke Shop Hiscore Table", ScreenRight},
    {"hiscore", 2, 3, "Pos.", 4 * 16},
    {"hiscore", 2, 14, "10.", 4 * 16},
    {"hiscore", 4, 3, " Name", 18 * 16},
    {"hiscore", 4, 5, " MAXIMILIAN MORGENTAU", 18 * 16},
    {"hiscore", 18, 3, "Score", 21 * 16},
    {"hiscore", 18, 5, "-15", 21 * 16},
    {"hiscore", 21, 3, "Gun", 28 * 16},
    {"hiscore", 21, 5, "Single Action", 28 * 16},
    {"hiscore", 28, 3, "  #Shots", 32 * 16},
    {"hiscore", 28, 5, "  9999", 32 * 16},
    {"hiscore", 32, 3, "  #Players", ScreenRight},
    {"hiscore", 32, 5, "  5", 34 * 16 + 16},
    {"hiscore", 34, 5, "    (TMKJJ)", ScreenRight},
    {"hiscore-alt", 1, 18, "Please enter your name (20 chars) or press button 2 to cancel:                     .",
     ScreenRight},
    {"hiscore", 1, 18, "Please enter your name (20 chars) or press button 2 to cancel: LAKEPORT NIGHTS 1926.",
     ScreenRight},
    {"hiscore", 1, 27, "Press fire to play this level again, or botton 2 to go to the title screen", ScreenRight},
};
