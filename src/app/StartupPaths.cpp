#include "app/StartupPaths.h"
