#pragma once
// Port numbers and the devices behind them. COM1-COM32 are /dev/ttyS0-31, COM33-COM64
// /dev/ttyUSB0-31, COM65-COM96 /dev/ttyACM0-31; an override (from the configuration file,
// section Port, key COM<n>) names any other path for a number. Used on the GUI thread.

#include <QList>
#include <QString>

// The device path of port n; empty when n has neither an override nor a device.
QString DevicePathForPort(int n);
void SetPortPathOverride(int n, const QString& path);
void ClearPortPathOverrides();

// Numbers of the ports that exist, ascending.
QList<int> PresentPorts();
// The same, looking for devices under sysClassTty (normally /sys/class/tty): ttyS ports that
// have a UART, USB and ACM ports, and overridden numbers whose path exists.
QList<int> PresentPortsUnder(const QString& sysClassTty);
