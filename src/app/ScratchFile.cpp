#include "app/ScratchFile.h"
