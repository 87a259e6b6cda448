#include "app/CommandLineMode.h"
