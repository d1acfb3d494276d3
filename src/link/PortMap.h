#pragma once
#include <QMap>
#include <QString>
#include <QStringList>

class QSettings;
class SerialChannel;

// Where COM1 ... COM8 live on a machine without COM devices: the settings
// group "Ports" (COM1=/dev/ttyUSB0) and the one-run option --port COMn=PATH.

// "COM1=/dev/ttyUSB0" (any case, spaces around the parts ignored) -> 1, "/dev/ttyUSB0".
// False for anything else: no "=", an empty path, or a port outside COM1 ... COM8.
bool parsePortOption(const QString& arg, int* comNumber, QString* path);

// COM number -> device path.
using PortMapping = QMap<int, QString>;

// Keys COM1 ... COM8 of the group "Ports" that hold a path.
PortMapping readPortMap(QSettings& s);
// Reads keys COM1 ... COM8 of the group "Ports"; keys that are missing or empty keep the mapping.
void loadPortMap(QSettings& s, SerialChannel& ch);

// Every valid --port value, in order (a later one wins), and the COM number of
// the last valid one (0 when none).
struct PortOptions {
    PortMapping map;
    int lastCom = 0;
};
PortOptions parsePortOptions(const QStringList& values);
// Applies every valid mapping in order; the last valid one's COMn becomes the selected port.
void applyPortOptions(const QStringList& values, SerialChannel& ch);
