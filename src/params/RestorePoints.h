#pragma once
// Restore points and block backups: the controller's raw 37-byte parameter
// block in a small text file a person can read, byte for byte, with where and
// when it came from:
//
//   # Quendrix controller parameter block
//   time: 2026-12-09T10:15:02.120+01:00
//   read: 2026-12-09T10:14:58.431+01:00
//   port: COM1 (/dev/ttyS0)
//   version: 5
//   what: Zapisz parametry
//   bytes 0-15: 6F 7A 00 F4 00 19 80 07 00 19 F5 37 9B 25 02 18
//   bytes 16-31: 00 80 02 00 0A E1 05 00 00 00 00 1E AE C4 00 01
//   bytes 32-36: 02 00 BC E3 00
//
// time: when the file was made; read: when the block was read from the
// controller; what: what was about to be written (for a backup, "backup").
// The restore points of the program and of quendrix-cli share one folder;
// the last Kept points stay, older ones are removed.
#include "link/Controller.h"
#include "params/ParamCompare.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace params {

struct BlockFileHeader {
    QDateTime time;
    QDateTime readAt;
    QString port;
    int versionCode = 0;
    QString what;
};

struct BlockFile {
    BlockFileHeader header;
    ParameterBlock block{};
};

// The file's bytes, lines ended by LF, UTF-8. Line breaks and other control
// characters in the port and what texts become spaces.
QByteArray blockFileBytes(const BlockFile& f);

struct BlockFileParse {
    bool ok = false;
    QString error;        // "<file>, line N: what is wrong" when !ok
    int line = 0;         // the line where it stopped (0: the file as a whole)
    bool readable = true; // false: the system refused the file (error in the window's words)
    BlockFile file;
};

// Strict: the first line as above; then every header line once (in any
// order; "#" lines may come between) and the three byte lines in order, each
// of two hexadecimal digits per byte, single spaces between; lines end with
// LF or CR LF; empty lines only at the end. Anything else is an error naming
// its line.
BlockFileParse parseBlockFile(const QByteArray& bytes, const QString& pathForMessages);
BlockFileParse readBlockFile(const QString& path);
// Atomic: a failed save leaves the old file as it was.
bool saveBlockFile(const QString& path, const BlockFile& f, QString* error);

struct RestorePoint {
    int id = 0;
    BlockFileHeader header;
    ParameterBlock block{};
};

class RestorePointStore {
public:
    static constexpr int Kept = 500;

    // The user's data folder: QUENDRIX_HISTORY when set, else the
    // application data location's "restore-points".
    static QString defaultFolder();
    explicit RestorePointStore(QString folder = defaultFolder(), int kept = Kept);

    QString folder() const { return folder_; }

    // Writes a new point (id one above the highest kept) and drops the oldest
    // beyond the number kept. -1 when it cannot be written (*error says why).
    int keep(const ParameterBlock& block, int versionCode, const QString& port, const QString& what,
             const QDateTime& readAt, QString* error = nullptr);
    // Newest first. Files that do not parse are left out.
    std::vector<RestorePoint> list() const;
    std::optional<BlockFile> load(int id, QString* error = nullptr) const;
    QString pathOf(int id) const;

private:
    std::vector<int> ids() const; // ascending
    QString folder_;
    int kept_;
};

// What the parameters page would show differently for two blocks (both
// decoded with the same ignition constant): a point against the controller now.
std::vector<ParamDifference> blockValueDifferences(const ParameterBlock& point, const ParameterBlock& now,
                                                   int ignitionConstant);

} // namespace params
