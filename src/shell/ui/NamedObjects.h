#pragma once
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

// Every named object under a root (widgets, menus and actions), looked up by
// object name. Built once per file applied: walking the whole window for each
// of several hundred lines would cost far more.
class NamedObjects {
public:
    explicit NamedObjects(QObject* root);
    QList<QObject*> all(const QString& name) const { return byName_.value(name); }
    template <class T> QList<T*> of(const QString& name) const {
        QList<T*> out;
        for (QObject* o : byName_.value(name))
            if (T* t = qobject_cast<T*>(o)) out.append(t);
        return out;
    }
    template <class T> T* first(const QString& name) const {
        for (QObject* o : byName_.value(name))
            if (T* t = qobject_cast<T*>(o)) return t;
        return nullptr;
    }

private:
    QHash<QString, QList<QObject*>> byName_;
};
