// Name entry (stand-in until the hiscores land).
#include "scores/name_entry.h"

char nameField[NameFieldLength + 1] = "                    .";
int32_t nameCursor = 0;

void PrepareNameEntry() {}
int32_t NameKeyAt(int32_t, int32_t) { return NameKeyNone; }
void RunNameEntry() {}
