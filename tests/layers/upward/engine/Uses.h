#pragma once

// An engine header reaching up into the entry: the layering check must refuse it.
#include "app/Run.h"
