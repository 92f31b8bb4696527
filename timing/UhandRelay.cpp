// Relay timing: leg finish and next leg start, leg and team times, leg lists, relay reset.
#include "Uhand.h"

void TFhand::ConnectRelayHandlers() {}
