// The capability rules of the model families.
#include "capability/rules.h"

char g_Tarvo3FirmVer[16];
char g_Velisa2FirmVer[16];
