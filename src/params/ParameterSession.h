#pragma once
// Every exchange of the parameters page and of the automatic write on
// entering a live page: the block reads, the writes through the one write
// gate, the comparison and the restores, with the readings poll stopped and
// the port closed and reopened around them in the order the pages have always
// used. Pages call these intents and show ParameterModel; what an exchange
// brought is told through the model, the status text and message signals.
#include "params/Fidelity.h"
#include "params/ParamCompare.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class ControllerLink;
struct ParamFileLoad;
class ParameterModel;

namespace params {

class RestorePointStore;
class WriteGate;
struct GateReport;
struct GateVerdict;
struct ReadResult;
struct RestorePoint;
struct RestoreReport;

namespace sessiontext {
struct Text;
}

class ParameterSession : public QObject {
    Q_OBJECT
public:
    // A language text, or `fallback` (the Polish default) when the files give none.
    using TextSource = std::function<QString(int key, const QString& fallback)>;
    // A parameter's caption in the current language.
    using CaptionSource = std::function<QString(ParamId id)>;
    // An item of a parameter's list in the current language.
    using ItemSource = std::function<QString(ParamId id, int item)>;
    // The page's readings poll, stopped and restarted around the exchanges.
    struct Poll {
        QString name;
        int intervalMs = 0;
    };
    // Why a full write goes out: the restore point's note.
    enum class WriteKind { Button, Keyboard, Reset, Automatic, Finish, Edits };
    // Values a read would replace although the controller never got them
    // (ParameterModel::unwrittenValues): write them first (the read follows
    // only when the write went out whole), discard them, or keep the page as
    // it is and read nothing.
    enum class Edits { Discard, Write, Keep };
    enum class Severity { Plain, Information, Warning, Critical };
    // A restore point as the history lists it.
    struct PointRow {
        int id = 0;
        QDateTime time;
        QString port;
        QString what;
        QString differences; // what it would change against the controller now
    };

    ParameterSession(ControllerLink& link, WriteGate& gate, ParameterModel& model, Poll readingsPoll,
                     QObject* parent = nullptr);

    void setTexts(TextSource texts) { texts_ = std::move(texts); }
    void setCaptions(CaptionSource captions) { captions_ = std::move(captions); }
    void setItems(ItemSource items) { items_ = std::move(items); }
    // The language changed: the marks the page shows are worded anew.
    void rewordMarks();
    // Where the gate keeps its restore points (none: the history is empty).
    void setRestorePoints(RestorePointStore* store) { store_ = store; }

    // Runs action once everything posted to the link before has finished: a
    // button's work never interleaves with an exchange still on the line.
    void whenIdle(QObject* receiver, std::function<void()> action);

    // Entering the parameters page (after the page change's common steps):
    // block read and fill, feature version, port opened, readings poll.
    void enterPage(Edits edits = Edits::Discard);
    // "odczyt parametrów".
    void read(Edits edits = Edits::Discard);
    // "Zapisz parametry", Enter and the closing Enter: what the page shows.
    void write(WriteKind kind);
    // "Reset parametrów": the design values, written because the fitter asked.
    void reset();
    // The parameter side of "Domyślne ustawienia": block read and fill, port opened.
    void defaultSettings(Edits edits = Edits::Discard);
    // "Porównaj ze sterownikiem": the block read and compared with the page;
    // the page and the controller stay as they are.
    void compare();
    // The wizard's last step handed over: block read and fill, then the write
    // back by the rule of automatic writes, then the readings poll.
    void finishWizard();
    // Entering the engine-speed or live page (polling stopped, port closed):
    // the page's unwritten values go out when the rule of automatic writes allows.
    void automaticWrite();
    // A parameter file checked whole and then loaded onto the page; nothing is sent.
    void loadFile(const QString& path, bool temperatureCapable);
    // "Historia": the block read, then the restore points, newest first, each
    // with the values it holds otherwise than the controller now.
    void listRestorePoints();
    // Writes a restore point's bytes back through the gate, reads the block
    // back and fills the page with it; the report names bytes that read back
    // otherwise and bytes no command writes.
    void restorePoint(int id);

    // From the start of a read that fills the page until the page shows it
    // (the wizard's finishing: until its write back is decided): keys that
    // would act on the page do nothing meanwhile.
    bool filling() const { return filling_ > 0; }

    QString text(const sessiontext::Text& t) const;
    QString caption(ParamId id) const;
    // The caption, and for the two fields under one caption which of them it is.
    QString partCaption(ParamId id) const;
    // Why a parameter file was not loaded, in the window's language.
    QString loadProblemText(const ParamFileLoad& load) const;
    // The captions of parameters, joined for a message.
    QString captions(const std::vector<ParamId>& ids) const;

signals:
    // Status panel 1.
    void status(const QString& text);
    // A message box.
    void message(params::ParameterSession::Severity severity, const QString& caption, const QString& text);
    void fillingChanged(bool filling);
    // The feature version read with the page's reads; -1 when no whole answer
    // came, and the last known features stay.
    void featureVersionRead(int code);
    // A whole block was read: the ignition system it stores.
    void ignitionRead(int index);
    // The wizard's finishing is done: the page takes the focus.
    void wizardFinished();
    // The comparison: parameters whose page value or bytes differ, and the
    // captions of the fields whose bytes the page cannot show.
    void compared(const std::vector<ParamDifference>& differences, const QStringList& marked);
    void compareFailed(const QString& text);
    void restorePointsListed(const std::vector<params::ParameterSession::PointRow>& rows);

private:
    void stopPoll();
    void startPoll();
    void closePort();
    void openPort();
    void postFeatures();
    // Block read (after a write of the page's values when asked) and fill.
    void postReadAndFill(bool announce, Edits edits);
    void applyRead(const ReadResult& r, bool announce);
    // The marks of a block read, worded for the page (kept to be worded again).
    std::vector<FieldMark> pageMarks(const ReadResult& r);
    ParamWords words(bool parts) const;
    void postWrite(WriteKind kind);
    void reportWrite(const ParameterSet& written, const GateReport& r);
    QString refusalText(const GateVerdict& v) const;
    void showCompared(const ReadResult& r);
    QString pointDifferences(const RestorePoint& point, const ReadResult& now) const;
    void reportRestore(const QString& when, const RestoreReport& r);
    void forgetBlock();
    void beginFilling();
    void endFilling(bool all = false);
    QString whatText(WriteKind kind) const;

    ControllerLink& link_;
    WriteGate& gate_;
    ParameterModel& model_;
    Poll poll_;
    TextSource texts_;
    CaptionSource captions_;
    ItemSource items_;
    // The last block that filled the page, to word its marks again.
    struct MarkedBlock {
        ParameterBlock block{};
        int ignitionConstant = 0;
        int versionCode = 0;
    };
    std::optional<MarkedBlock> marked_;
    RestorePointStore* store_ = nullptr;
    QString port_;
    int filling_ = 0;
};

} // namespace params
