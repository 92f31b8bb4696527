// Split-time assignment: bib + Enter, discard, dead heat, and the recording of a split.
#include "Uhand.h"

void TFhand::ConnectSplitHandlers() {}
