// The one capability record of the run.
#include "capability/devset.h"

CDevSet2Builder g_DevFunc;
