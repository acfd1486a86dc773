#include "app/strings.h"

// Not written yet: the resource store issue fills these in.
void loadStrings(const char*) {}
const char* lookupText(const char*) { return ""; }
int indexOfName(const char*) { return 0; }
const char* textAt(int) { return ""; }
int stringCount() { return 0; }
void freeStrings() {}
