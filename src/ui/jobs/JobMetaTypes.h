#pragma once

#include "batch/BatchResult.h"

#include <QMetaType>

// What the jobs' signals carry from their threads to the window's.
Q_DECLARE_METATYPE(pagesmith::BatchResult)
Q_DECLARE_METATYPE(pagesmith::OutputPages)
Q_DECLARE_METATYPE(pagesmith::FileStatus)
