#include "TestDirs.h"

TestDirs::TestDirs() = default;
