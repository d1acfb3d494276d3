#pragma once
#include <QList>
#include <QString>

// The serial devices present on this machine, for the Port menu and the
// autodetection. On Linux a device is offered by its stable
// /dev/serial/by-id/ name where one exists, so a USB adapter keeps its name
// across replugging.

struct SerialDevice {
    QString path;        // what to open: the by-id name where it exists, else the system location
    QString systemPath;  // the system location (/dev/ttyUSB0, COM3)
    QString description; // the adapter's description, or its manufacturer; may be empty
    int comNumber = 0;   // n for COMn (Windows) or the default-mapped /dev/ttyS(n-1); 0 otherwise
};

// What the system reports of one port (QSerialPortInfo in the program).
struct PortReport {
    QString portName;       // ttyUSB0, COM3
    QString systemLocation; // /dev/ttyUSB0, \\.\COM3
    QString description;
    QString manufacturer;
};

// Devices of the reports, ordered: COM1 ... COM8 first by number, then the
// others by system location. byIdDir is searched for symbolic links to each device.
QList<SerialDevice> serialDevices(const QList<PortReport>& reports,
                                  const QString& byIdDir = QStringLiteral("/dev/serial/by-id"));
// The devices the system lists now.
QList<SerialDevice> serialDevices();

// Whether the device COMn is mapped to by default (COMn on Windows,
// /dev/ttyS(n-1) elsewhere) is one the system lists as a real serial port.
bool comPortListed(int n, const QList<PortReport>& reports);
bool comPortListed(int n);

// The reports of QSerialPortInfo::availablePorts().
QList<PortReport> systemPortReports();
