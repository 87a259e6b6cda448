#pragma once

// A job header reaching up into the main window: the layering check must refuse it.
#include "ui/main/Frame.h"
