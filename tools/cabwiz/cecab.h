#pragma once
// The installer header's constants live with its reader in the core.
#include "formats/cecab.h"
