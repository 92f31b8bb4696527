// Corrections and resets: cancel a split, assign a device time by hand, pick a bib, clear all
// splits, close.
#include "Uhand.h"

void TFhand::ConnectCorrectionHandlers() {}
