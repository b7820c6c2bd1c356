#pragma once

// The shared routines of the windows: ChoiceBox and CleanZip. Each lives in
// its own file; this header gathers them under the unit's name.
#include "dialogs/ChoiceBox.h"
#include "core/ZipCode.h"
