// Hiscore files (stand-in until the hiscores land).
#include "scores/hiscores.h"

HiscoreTable hiscores;

void resetHiscores() { hiscores = HiscoreTable{}; }
int32_t LoadHiscores(int32_t) { return -1; }
int32_t SaveHiscores(int32_t) { return -1; }
void EncodeNameForFile(char*) {}
void DecodeNameFromFile(char*) {}
const char* HiscoreFileName(int32_t) { return nullptr; }
