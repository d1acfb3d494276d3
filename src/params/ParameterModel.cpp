#include "params/ParameterModel.h"

#include "params/ParamCompare.h"
#include "params/ParamTable.h"

#include <algorithm>

ParameterModel::ParameterModel(QObject* parent) : QObject(parent), page_(defaultParameterSet()) {}

void ParameterModel::setPageValue(ParamId id, const QString& text) {
    if (page_[id] == text) return;
    page_[id] = text;
    clearMark(id);
    emit pageValueChanged(id);
}

void ParameterModel::setValue(ParamId id, const QString& text) {
    set_[id] = text;
    setPageValue(id, text);
    emit setChanged();
}

void ParameterModel::setFromController(const ParameterSet& set) {
    set_ = set;
    emit setChanged();
    setControllerSet(set);
}

void ParameterModel::setControllerSet(const ParameterSet& set) {
    controller_ = set;
    controllerKnown_ = true;
    emit controllerSetChanged();
}

std::vector<ParamId> ParameterModel::unwrittenValues() const {
    std::vector<ParamId> out;
    for (const ParamDifference& d :
         compareParameterSets(page_, controllerKnown_ ? controller_ : defaultParameterSet()))
        if (d.id != ParamId::AnalogThreshold) out.push_back(d.id);
    return out;
}

void ParameterModel::fill(const ParameterSet& values, Origin origin, const QString& fileName,
                          std::vector<FieldMark> marks) {
    set_ = values;
    page_ = values;
    marks_ = std::move(marks);
    origin_ = origin;
    fileName_ = fileName;
    emit setChanged();
    emit filled();
    emit marksChanged();
    if (origin == Origin::Controller) setControllerSet(values);
}

const ParameterSet& ParameterModel::collect() {
    set_ = page_;
    emit setChanged();
    return set_;
}

void ParameterModel::setWritten(bool written) {
    if (written_ == written) return;
    written_ = written;
    emit writtenChanged(written_);
}

const FieldMark* ParameterModel::markOf(ParamId id) const {
    return ::markOf(marks_, id);
}

void ParameterModel::setMarks(std::vector<FieldMark> marks) {
    marks_ = std::move(marks);
    emit marksChanged();
}

void ParameterModel::clearMark(ParamId id) {
    const auto it =
        std::find_if(marks_.begin(), marks_.end(), [id](const FieldMark& m) { return m.id == id; });
    if (it == marks_.end()) return;
    marks_.erase(it);
    emit marksChanged();
}

bool ParameterModel::automaticWriteAllowed() const {
    return !written_ && (origin_ == Origin::Controller || origin_ == Origin::File) && marks_.empty();
}

ParameterModel::WriteBlock ParameterModel::automaticWriteBlock() const {
    if (written_) return WriteBlock::None;
    switch (origin_) {
    case Origin::None:
        return WriteBlock::NotRead;
    case Origin::Defaults:
        return WriteBlock::Defaults;
    case Origin::Controller:
    case Origin::File:
        break;
    }
    return marks_.empty() ? WriteBlock::None : WriteBlock::Marked;
}
