#pragma once
#include <QByteArray>
#include <QString>

// Replaces the file at path by bytes, or leaves it as it was: the bytes go to a
// new file beside it that takes the old one's place only when every byte is
// on disk. On failure no partial file is left and *error names the file and
// the system's reason ("Cannot save "<path>": <reason>.").
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error);
