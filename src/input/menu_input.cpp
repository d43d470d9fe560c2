// The front-end input poll (stand-in until the input lands).
#include "input/menu_input.h"

MenuInput menuInput = {-1, -1};

void resetMenuInput() { menuInput = MenuInput{-1, -1}; }
bool pollMenuInput() { return true; }
