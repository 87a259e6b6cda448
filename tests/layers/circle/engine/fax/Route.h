#pragma once

#include "engine/pdf/Writer.h"
