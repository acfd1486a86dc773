// The string table: every sentence shown to the player, looked up by a short name.
#pragma once

void loadStrings(const char* fileName);
const char* lookupText(const char* name);  // "" when the name is missing
int indexOfName(const char* name);         // 0 when the name is missing
const char* textAt(int position);          // "" past the table
int stringCount();
void freeStrings();
