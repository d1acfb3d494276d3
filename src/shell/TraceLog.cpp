#include "shell/TraceLog.h"

#include "shell/LanguageTexts.h"

#include <QTimer>

namespace tracetext {

void addDefaults(LanguageTexts& t) {
    t.set(Title, QStringLiteral("Podgląd transmisji"));
    t.set(FilterLabel, QStringLiteral("Wymiana:"));
    t.set(AllExchanges, QStringLiteral("wszystkie"));
    t.set(Copy, QStringLiteral("&Kopiuj"));
    t.set(Save, QStringLiteral("&Zapisz..."));
    t.set(Clear, QStringLiteral("&Wyczyść"));
    t.set(Hold, QStringLiteral("W&strzymaj"));
    t.set(Count, QStringLiteral("Pokazano %1 z %2 wpisów"));
    t.set(Lost, QStringLiteral("%1 wpisów przyszło za szybko i pominięto je"));
    t.set(FileFilter, QStringLiteral("Pliki tekstowe (*.txt)"));
    t.set(SaveFailed, QStringLiteral("Nie można zapisać pliku %1: %2"));
    const char* const columns[] = {"Czas [µs]", "Odstęp [µs]", "Kier.", "Wymiana", "Uwagi", "Bajty"};
    const char* const kinds[] = {"NAD", "ODB", "ODRZ", "CZEK", "OTW", "ZAMK"};
    const char* const exchanges[] = {"odczyt wersji", "odczyt możliwości", "odczyt funkcji",
                                     "odczyt progu",  "zapis progu",       "odczyt zapłonu",
                                     "odczyt bloku",  "odpytanie",         "zapis zapłonu",
                                     "krok zapisu",   "krok przywracania", "polecenie"};
    const char* const marks[] = {"obcy", "błąd", "brak", "utracony", "ms"};
    for (int i = 0; i < 6; ++i)
        t.set(FirstColumn + i, QString::fromUtf8(columns[i]));
    for (int i = 0; i < 6; ++i)
        t.set(FirstKind + i, QString::fromUtf8(kinds[i]));
    for (int i = 0; i < 12; ++i)
        t.set(FirstExchange + i, QString::fromUtf8(exchanges[i]));
    for (int i = 0; i < 5; ++i)
        t.set(FirstMark + i, QString::fromUtf8(marks[i]));
    t.set(Keys,
          QStringLiteral("Ctrl+C kopiuje zaznaczone wiersze (bez zaznaczenia wszystkie), Ctrl+S zapisuje, "
                         "Ctrl+L czyści, Spacja wstrzymuje"));
}

TraceNames names(const LanguageTexts& t) {
    TraceNames n;
    auto take = [&t](QString& to, int key) {
        const QString s = t.text(key);
        if (!s.isEmpty()) to = s;
    };
    QString* columns[] = {&n.time, &n.delta, &n.direction, &n.exchange, &n.mark, &n.bytes};
    for (int i = 0; i < 6; ++i)
        take(*columns[i], FirstColumn + i);
    for (int i = 0; i < 6; ++i)
        take(n.kinds[static_cast<std::size_t>(i)], FirstKind + i);
    for (int i = 1; i < static_cast<int>(TraceExchange::Count); ++i)
        take(n.exchanges[static_cast<std::size_t>(i)], FirstExchange + i - 1);
    QString* marks[] = {&n.stray, &n.failed, &n.nothing, &n.lost, &n.ms};
    for (int i = 0; i < 5; ++i)
        take(*marks[i], FirstMark + i);
    return n;
}

} // namespace tracetext

TraceLog::TraceLog(TraceBuffer& buffer, QObject* parent)
    : QAbstractTableModel(parent), buffer_(buffer), timer_(new QTimer(this)) {
    timer_->setInterval(TakeMs);
    connect(timer_, &QTimer::timeout, this, &TraceLog::takeNew);
}

TraceLog::~TraceLog() {
    buffer_.setOn(false);
}

void TraceLog::listen(bool on) {
    buffer_.setOn(on);
    if (on) {
        timer_->start();
    } else {
        timer_->stop();
        takeNew(); // what came before the switch
    }
}

void TraceLog::takeNew() {
    int lost = 0;
    const QVector<TraceEntry> fresh = buffer_.take(&lost);
    lost_ += lost;
    if (fresh.isEmpty()) {
        if (lost > 0) emit countsChanged();
        return;
    }
    // The oldest go first, so the log never holds more than Limit.
    const int overflow = static_cast<int>(entries_.size()) + int(fresh.size()) - Limit;
    if (overflow > 0) {
        const qint64 keepFrom = firstSeq_ + std::min<qint64>(overflow, qint64(entries_.size()));
        int gone = 0;
        while (gone < int(visible_.size()) && visible_[std::size_t(gone)] < keepFrom)
            ++gone;
        if (gone > 0) beginRemoveRows({}, 0, gone - 1);
        visible_.erase(visible_.begin(), visible_.begin() + gone);
        entries_.erase(entries_.begin(), entries_.begin() + (keepFrom - firstSeq_));
        firstSeq_ = keepFrom;
        if (gone > 0) endRemoveRows();
    }
    const int skip = std::max(0, int(fresh.size()) - Limit);
    std::vector<qint64> added;
    for (int i = 0; i < int(fresh.size()); ++i) {
        const TraceEntry& e = fresh[i];
        if (originUs_ < 0) originUs_ = lastUs_ = e.us;
        const qint64 delta = e.us - lastUs_;
        lastUs_ = e.us;
        if (i < skip) {
            ++firstSeq_;
            continue;
        }
        entries_.push_back({e, delta});
        if (shown(e)) added.push_back(firstSeq_ + qint64(entries_.size()) - 1);
    }
    if (!added.empty()) {
        const int first = int(visible_.size());
        beginInsertRows({}, first, first + int(added.size()) - 1);
        visible_.insert(visible_.end(), added.begin(), added.end());
        endInsertRows();
    }
    emit countsChanged();
}

void TraceLog::clear() {
    buffer_.take();
    beginResetModel();
    entries_.clear();
    visible_.clear();
    firstSeq_ = 0;
    originUs_ = -1;
    lost_ = 0;
    endResetModel();
    emit countsChanged();
}

void TraceLog::setNames(const TraceNames& names) {
    names_ = names;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    if (!visible_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

void TraceLog::setFilter(TraceExchange exchange) {
    if (exchange == filter_) return;
    filter_ = exchange;
    rebuildVisible();
}

bool TraceLog::shown(const TraceEntry& e) const {
    return filter_ == TraceExchange::None || e.tag.belongsTo(filter_);
}

void TraceLog::rebuildVisible() {
    beginResetModel();
    visible_.clear();
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (shown(entries_[i].entry)) visible_.push_back(firstSeq_ + qint64(i));
    endResetModel();
    emit countsChanged();
}

const TraceLog::Row& TraceLog::row(int visibleRow) const {
    return entries_[std::size_t(visible_[std::size_t(visibleRow)] - firstSeq_)];
}

const TraceEntry& TraceLog::entryAt(int r) const {
    return row(r).entry;
}

QString TraceLog::text(const QList<int>& rows) const {
    QString out = linktrace::header(names_) + QLatin1Char('\n');
    auto add = [&](int r) {
        const Row& x = row(r);
        out += linktrace::line(x.entry, originUs_, x.entry.us - x.deltaUs, names_) + QLatin1Char('\n');
    };
    if (rows.isEmpty()) {
        for (int r = 0; r < rowCount(); ++r)
            add(r);
    } else {
        for (int r : rows)
            if (r >= 0 && r < rowCount()) add(r);
    }
    return out;
}

int TraceLog::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(visible_.size());
}

int TraceLog::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TraceLog::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::TextAlignmentRole && (index.column() == Time || index.column() == Delta))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && !(role == Qt::ToolTipRole && index.column() == Bytes)) return {};
    const Row& r = row(index.row());
    switch (index.column()) {
    case Time:
        return QString::number(r.entry.us - originUs_);
    case Delta:
        return QString::number(r.deltaUs);
    case Direction:
        return names_.kind(r.entry.kind);
    case Exchange:
        return linktrace::exchangeText(r.entry.tag, names_);
    case Mark:
        return linktrace::markText(r.entry, names_);
    case Bytes:
        return linktrace::detailText(r.entry, names_);
    default:
        return {};
    }
}

QVariant TraceLog::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    const QString* names[] = {&names_.time,     &names_.delta, &names_.direction,
                              &names_.exchange, &names_.mark,  &names_.bytes};
    return section >= 0 && section < ColumnCount ? *names[section] : QVariant();
}
