#include "params/ui/DrukowaniePage.h"

DrukowaniePage::DrukowaniePage(Models models, QWidget* parent) : QWidget(parent), m_(models) {
    setObjectName(QStringLiteral("DrukowanieTab"));
}

void DrukowaniePage::enterPage() {}
