#include "ui/theme/Palette.h"
