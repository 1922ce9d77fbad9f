#include "ui/tray/PopoverUI.h"

// The class is header-only; its meta-object is compiled here so programs that use it link only
// what they need.
#include "moc_PopoverUI.cpp"
