#pragma once
#include <QHash>
#include <QString>

// The named message texts of the main window, by language-file key. Built-in
// Polish defaults stand until a language file replaces them.
class LanguageTexts {
public:
    LanguageTexts() { loadDefaults(); }
    void loadDefaults();
    QString text(int key) const { return texts_.value(key); }
    void set(int key, const QString& value) { texts_.insert(key, value); }
    bool has(int key) const { return texts_.contains(key); }
    QList<int> keys() const { return texts_.keys(); }

private:
    QHash<int, QString> texts_;
};
