#include "params/ParameterModel.h"

#include "params/ParamTable.h"

ParameterModel::ParameterModel(QObject* parent) : QObject(parent), page_(defaultParameterSet()) {}

void ParameterModel::setPageValue(ParamId id, const QString& text) {
    if (page_[id] == text) return;
    page_[id] = text;
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
}

void ParameterModel::fill(const ParameterSet& values, Origin origin, const QString& fileName) {
    set_ = values;
    page_ = values;
    const bool originChange = origin_ != origin || fileName_ != fileName;
    origin_ = origin;
    fileName_ = fileName;
    emit setChanged();
    emit filled();
    if (originChange) emit originChanged();
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

void ParameterModel::setMarkedFields(int count) {
    if (marked_ == count) return;
    marked_ = count;
    emit markedFieldsChanged(marked_);
}

bool ParameterModel::automaticWriteAllowed() const {
    return !written_ && (origin_ == Origin::Controller || origin_ == Origin::File) && marked_ == 0;
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
    return marked_ > 0 ? WriteBlock::Marked : WriteBlock::None;
}
