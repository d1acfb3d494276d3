#pragma once
#include "params/Fidelity.h"
#include "params/ParameterSet.h"

#include <QObject>
#include <QString>
#include <vector>

// The parameter set and what the parameters page shows, with where the page's
// values came from and whether the controller holds them. One owner creates
// it; the parameters page keeps `page` current, the shell decides automatic
// writes through automaticWriteAllowed(), the printout reads `set`.
class ParameterModel : public QObject {
    Q_OBJECT
public:
    enum class Origin {
        None,       // nothing filled the page yet: it shows design values
        Controller, // a read of the controller's block
        File,       // a parameter file
        Defaults    // the default values
    };

    explicit ParameterModel(QObject* parent = nullptr);

    // The parameter set: as last read from the controller or collected for the last write.
    const ParameterSet& set() const { return set_; }
    // What the parameters page shows now.
    const ParameterSet& page() const { return page_; }
    QString pageValue(ParamId id) const { return page_[id]; }

    // The page reports every change of a control; nothing else changes.
    void setPageValue(ParamId id, const QString& text);
    // A value that is part of the set at once (the Bosch, cut-off and
    // temperature-sensor check boxes and the analog threshold of the
    // engine-speed page): page and set both.
    void setValue(ParamId id, const QString& text);
    // The set read from the controller, without filling the page (the live
    // page's block read, the comparison).
    void setFromController(const ParameterSet& set);
    // Fills the page: set and page become `values`, the page shows them, and
    // `marks` name the fields that cannot show what the controller holds.
    void fill(const ParameterSet& values, Origin origin, const QString& fileName = {},
              std::vector<FieldMark> marks = {});
    // Takes the set from the page (before every write).
    const ParameterSet& collect();

    // The set the controller holds as far as the program knows: as last read
    // from it or written to it whole. Empty texts until the first read. The
    // printout shows it; a page that differs from it holds unwritten values.
    const ParameterSet& controllerSet() const { return controller_; }
    bool controllerSetKnown() const { return controllerKnown_; }
    // The controller holds `set`: it was read, or a write of it went out whole.
    void setControllerSet(const ParameterSet& set);
    // The page's values a read would replace although the controller never
    // got them (typed, loaded, or a write that failed), in table order: the
    // page against the controller's set, or against the design values before
    // anything was read. The engine-speed page's analog threshold is not the
    // page's.
    std::vector<ParamId> unwrittenValues() const;

    Origin origin() const { return origin_; }
    QString fileName() const { return fileName_; }

    // True while the controller holds what the page shows.
    bool written() const { return written_; }
    void setWritten(bool written);

    // Fields whose values the page cannot show as the controller holds them;
    // while any is marked no automatic write runs. A mark goes when the field
    // changes after the fill (the fitter's own value), or when the fitter
    // writes the page.
    const std::vector<FieldMark>& marks() const { return marks_; }
    const FieldMark* markOf(ParamId id) const;
    int markedFields() const { return static_cast<int>(marks_.size()); }
    void setMarks(std::vector<FieldMark> marks);
    void clearMark(ParamId id);

    // The one rule for every automatic write (page change, wizard's end): the
    // page holds unwritten values that came from the controller or a file,
    // and no field is marked. Writes the fitter asks for are not bound by it.
    bool automaticWriteAllowed() const;
    // Why an automatic write may not run although the page may hold unwritten values.
    enum class WriteBlock { None, NotRead, Defaults, Marked };
    WriteBlock automaticWriteBlock() const;

signals:
    // The parameter set changed (a read, a fill, a collect, a value set at once).
    void setChanged();
    void filled();
    void pageValueChanged(ParamId id);
    void writtenChanged(bool written);
    void marksChanged();
    void controllerSetChanged();

private:
    ParameterSet set_;
    ParameterSet page_;
    Origin origin_ = Origin::None;
    QString fileName_;
    bool written_ = true;
    std::vector<FieldMark> marks_;
    ParameterSet controller_;
    bool controllerKnown_ = false;
};
