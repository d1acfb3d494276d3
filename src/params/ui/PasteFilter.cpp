#include "params/ui/PasteFilter.h"

#include <QLineEdit>

PasteFilter::PasteFilter(QLineEdit* field, validation::Filter filter, int maxLength)
    : QValidator(field), field_(field), filter_(filter), maxLength_(maxLength), before_(field->text()) {
    connect(field, &QLineEdit::textChanged, this, [this](const QString& t) { before_ = t; });
}

QValidator::State PasteFilter::validate(QString& input, int& pos) const {
    // A text set by the program leaves the field unmodified (setText clears its
    // edit history); only the user's edits are filtered.
    if (!field_->isModified()) return Acceptable;
    input = validation::filterInsertion(filter_, maxLength_, before_, input, &pos);
    // Never Invalid: the line edit would then undo the whole change instead of
    // keeping what passes; whether the value is right is the checks' business.
    return Acceptable;
}

void PasteFilter::installOn(const QList<QLineEdit*>& fields) {
    for (QLineEdit* le : fields) {
        const validation::FieldRule* rule = validation::fieldRule(le->objectName());
        if (!rule) continue;
        const validation::Filter filter =
            rule->kind == validation::Kind::Decimal ? validation::Filter::Decimal : validation::Filter::Digit;
        le->setValidator(new PasteFilter(le, filter, rule->maxLength));
    }
}
