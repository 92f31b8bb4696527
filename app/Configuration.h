#pragma once
// The configuration file "TarnikMid.ini": loaded into the process-wide settings when the main
// window is created and saved from them when it closes.

#include <QMap>
#include <QPoint>
#include <QString>

// What the file holds for the main window itself and for the serial ports, beside the
// process-wide settings.
struct MainFormConfig {
    QPoint Position;   // [MainForm] Left, Top
    int DataIndex = 0; // [DB] DataIndex: 0 Local, 1 Test, 2 Server
    // [Port] COM<n>=<device path>: the device behind port number n, overriding the
    // usual mapping of n to a device name.
    QMap<int, QString> PortPaths;
};

// The file in the current working directory, looked up afresh on every call.
QString ConfigFilePath();

// Fills the uComm settings from the file (defaults where it has nothing usable). [ENV]
// RefusalSound and [Port] QuietSeconds are read only: a site writes them by hand. From then
// on a race's own minimum times and cut-offs are read from and written to its section
// [Race <tcode>] (LapMin, RelayMin, Mid1 .. Mid5) as its window opens it and as they change.
MainFormConfig LoadConfiguration();

// Writes the keys, the uComm settings among them and the section of the race in work, one
// by one; a failing key throws ProfileWriteError and leaves the keys before it written.
// Other keys in the file stay.
void SaveConfiguration(const QPoint& position, int dataIndex);
