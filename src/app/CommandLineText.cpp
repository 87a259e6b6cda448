#include "app/CommandLineText.h"
