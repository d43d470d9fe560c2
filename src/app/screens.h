// The endless screen loop and the five front-end screens.
#pragma once

// Runs screens by ShellState::screen for ever; the program ends inside it.
[[noreturn]] void runScreenLoop();
// One pass of the loop: tests the screens in their order and runs each whose
// value matches, so one pass can run several screens.
void runScreenPass();
// Polls the front-end input until it reports an action.
void waitForAction();
void runTitleScreen();
void runStoryScreen();
void runDisplayHelpScreen();
void runWeaponChoiceScreen();
void runLevelChoiceScreen();
