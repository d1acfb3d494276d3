#pragma once
#include <QString>
#include <QStringList>

class QSettings;
class SerialChannel;

// Where COM1 ... COM8 live on a machine without COM devices: the settings
// group "Ports" (COM1=/dev/ttyUSB0) and the one-run option --port COMn=PATH.

// "COM1=/dev/ttyUSB0" (any case, spaces around the parts ignored) -> 1, "/dev/ttyUSB0".
// False for anything else: no "=", an empty path, or a port outside COM1 ... COM8.
bool parsePortOption(const QString& arg, int* comNumber, QString* path);

// Reads keys COM1 ... COM8 of the group "Ports"; keys that are missing or empty keep the mapping.
void loadPortMap(QSettings& s, SerialChannel& ch);

// Applies every valid mapping in order; the last valid one's COMn becomes the selected port.
void applyPortOptions(const QStringList& values, SerialChannel& ch);
