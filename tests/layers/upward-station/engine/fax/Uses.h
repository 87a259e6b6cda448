#pragma once

// The fax route reaching up into the run: the layering check must refuse it.
#include "engine/run/Run.h"
