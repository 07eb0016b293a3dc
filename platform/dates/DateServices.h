#pragma once

// The date services: date values and arithmetic, reading dates, formatting dates, and reading and
// formatting numbers.

#include "DateArithmetic.h"
#include "DateFormatting.h"
#include "DateReading.h"
#include "NumberFormatting.h"
