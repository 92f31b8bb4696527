// The check list of all split times, opened beside the timing window.
#include "Uhand.h"

#include "timing/ErrorReport.h"

#include "app/Ucheck.h"
#include "controls/CuteBtn.h"

void TFhand::ConnectCheckListHandlers() {
    connect(CuteButton6, &TCuteButton::OnClick, this, Guarded(this, &TFhand::CuteButton6Click));
}

void TFhand::CuteButton6Click() {
    if (Fcheck)
        Fcheck->OpenList();
}
