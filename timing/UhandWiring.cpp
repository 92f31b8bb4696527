// Each area of the timing window wires its own controls; this is where the window asks
// them all once.
#include "Uhand.h"

void TFhand::ConnectHandlers() {
    ConnectPendingHandlers();
    ConnectSplitHandlers();
    ConnectCorrectionHandlers();
    ConnectRelayHandlers();
    ConnectSpeechHandlers();
    ConnectDeviceHandlers();
    ConnectCheckListHandlers();
    ConnectHandTimeHandlers();
    ConnectAttentionHandlers();
    ConnectUndoHandlers();
    ConnectGivenBackHandlers();
    ConnectViewHandlers();
}
