#include "app/RunLog.h"
