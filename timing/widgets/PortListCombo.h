#pragma once
// The port choice: the ports present when the list is opened, each with the device behind
// its name (COM33 → /dev/ttyUSB0, or the path the configuration file gives), so a device
// plugged in while the window is open can be chosen. An item's text stays the bare port name.

#include <QComboBox>

class PortListCombo : public QComboBox {
public:
    explicit PortListCombo(QWidget* parent);

    // Reads the present ports again: the empty entry first, then each port; the chosen port
    // stays chosen, listed even when its device has gone.
    void Refill();
    // Chooses port `name` ("COM3"), listing it when its device is away.
    void ChoosePort(const QString& name);

    void showPopup() override;
};
