// The check list of all split times, opened beside the timing window. The list is a window
// of the program's shell; the timing window only asks for it.
#include "Uhand.h"

#include "common/ErrorReport.h"

#include "controls/CuteBtn.h"

void TFhand::ConnectCheckListHandlers() {
    connect(CuteButton6, &TCuteButton::OnClick, this, Guarded(this, &TFhand::CuteButton6Click));
}

void TFhand::CuteButton6Click() {
    emit CheckListWanted();
}
