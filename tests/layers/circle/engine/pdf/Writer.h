#pragma once

// The PDF writer and the fax route share a layer; each using the other must be refused.
#include "engine/fax/Route.h"
