#pragma once

// The watch over a started run is shared with Tarvel and lives in common.
#include "core/RunWatch.h"

namespace lumivo {

using common::LastLines;
using common::ReadRunStatus;
using common::RunWatch;

} // namespace lumivo
