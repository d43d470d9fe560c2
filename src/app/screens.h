// The endless screen loop and the five front-end screens.
#pragma once

// The two variants of the title's credit line: the long one, shown when a
// tracker answered at start-up, also credits the tracker code's authors.
extern const char* const CreditLineShort;
extern const char* const CreditLineLong;

// Runs screens by ShellState::screen for ever; the program ends inside it.
[[noreturn]] void runScreenLoop();
// One pass of the loop: tests the screens in their order and runs each whose
// value matches, so one pass can run several screens.
void runScreenPass();
// Polls the front-end input, without pause, until it reports an action.
void waitForAction();
// Title: device report or kiosk help, credit line; fire goes on to the story,
// button 2 shuts the game down and exits with status 0.
void runTitleScreen();
// Story and display help: fire goes on, button 2 back to the title.
void runStoryScreen();
void runDisplayHelpScreen();
// Choice screens, redrawn every pass until a shot at a picture picks a weapon
// (then LevelChoice) or a level (then Round), or button 2 goes to the title.
void runWeaponChoiceScreen();
void runLevelChoiceScreen();
