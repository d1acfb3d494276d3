#include "shell/ui/NamedObjects.h"

NamedObjects::NamedObjects(QObject* root) {
    if (!root) return;
    if (!root->objectName().isEmpty()) byName_[root->objectName()].append(root);
    for (QObject* o : root->findChildren<QObject*>())
        if (!o->objectName().isEmpty()) byName_[o->objectName()].append(o);
}
