#pragma once
#include "link/LinkTrace.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <deque>

class QTimer;
class LanguageTexts;

// Language texts of the protocol trace (31350 up).
namespace tracetext {
enum : int {
    Title = 31350, // the window's caption and its menu item
    FilterLabel = 31351,
    AllExchanges = 31352,
    Copy = 31353,
    Save = 31354,
    Clear = 31355,
    Hold = 31356,
    Count = 31357, // "%1" entries shown, "%2" kept
    Lost = 31358,  // "%1" entries that came too fast to keep
    FileFilter = 31359,
    SaveFailed = 31360,    // "%1" file, "%2" the system's words
    FirstColumn = 31361,   // time, delta, direction, exchange, mark, bytes
    FirstKind = 31367,     // sent, received, dropped, pause, opened, closed
    FirstExchange = 31373, // version read ... command, in TraceExchange order from VersionRead
    FirstMark = 31385,     // stray, failed, nothing, lost, ms
    Keys = 31390,
};
// Built-in Polish texts.
void addDefaults(LanguageTexts& texts);
// The trace's words in the language of texts.
TraceNames names(const LanguageTexts& texts);
} // namespace tracetext

// The protocol trace as a fitter reads it: the entries the link records while
// the log listens, the newest Limit of them, filtered by exchange. Entries are
// taken from the link's buffer every TakeMs on the GUI thread and only
// formatted when shown, copied or saved.
class TraceLog : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int Limit = 100000;
    static constexpr int TakeMs = 200;
    enum Column { Time, Delta, Direction, Exchange, Mark, Bytes, ColumnCount };

    explicit TraceLog(TraceBuffer& buffer, QObject* parent = nullptr);
    ~TraceLog() override;

    // Listening switches the link's trace on; the trace costs nothing while
    // nobody listens.
    void listen(bool on);
    bool listening() const { return buffer_.on(); }
    // Takes what the link has recorded since the last take.
    void takeNew();
    void clear();

    void setNames(const TraceNames& names);
    const TraceNames& names() const { return names_; }
    // Only the entries of this exchange (or of the procedure it runs inside); None: all.
    void setFilter(TraceExchange exchange);
    TraceExchange filter() const { return filter_; }

    int kept() const { return static_cast<int>(entries_.size()); }
    int lost() const { return lost_; }
    const TraceEntry& entryAt(int row) const;
    // The rows (all shown when empty) as the text the CLI writes, header first.
    QString text(const QList<int>& rows = {}) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void countsChanged();

private:
    struct Row {
        TraceEntry entry;
        qint64 deltaUs;
    };
    const Row& row(int visibleRow) const;
    bool shown(const TraceEntry& e) const;
    void rebuildVisible();

    TraceBuffer& buffer_;
    QTimer* timer_;
    TraceNames names_;
    TraceExchange filter_ = TraceExchange::None;
    std::deque<Row> entries_;
    std::deque<qint64> visible_; // sequence numbers of the rows shown
    qint64 firstSeq_ = 0;        // sequence number of entries_.front()
    qint64 originUs_ = -1;
    qint64 lastUs_ = 0;
    int lost_ = 0;
};
