#pragma once
#include "params/Validation.h"

#include <QValidator>

class QLineEdit;

// Holds an edit field of the parameters page to its key filter for text that
// does not come as key presses: a paste from the context menu or the middle
// mouse button, a drop, an input method's commit. Texts the program sets
// (a read, a file, a reset) are shown as they are.
class PasteFilter : public QValidator {
    Q_OBJECT
public:
    PasteFilter(QLineEdit* field, validation::Filter filter, int maxLength);

    State validate(QString& input, int& pos) const override;

    // Gives every edit field of the page its filter, by the field rules.
    static void installOn(const QList<QLineEdit*>& fields);

private:
    QLineEdit* field_;
    validation::Filter filter_;
    int maxLength_;
    QString before_; // the field's text before the change being validated
};
