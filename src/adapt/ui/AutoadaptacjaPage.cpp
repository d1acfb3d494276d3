#include "adapt/ui/AutoadaptacjaPage.h"

#include "shell/Session.h"

#include <QTabWidget>
#include <QVBoxLayout>

AutoadaptacjaPage::AutoadaptacjaPage(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("AutoadaptacjaTab"));
    pageControl2_ = new QTabWidget(this);
    pageControl2_->setObjectName(QStringLiteral("PageControl2"));
    auto* step1 = new QWidget(pageControl2_);
    step1->setObjectName(QStringLiteral("adaptterm"));
    pageControl2_->addTab(step1, QStringLiteral("Ad2 - termometr"));
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(4, 4, 4, 4);
    lay->addWidget(pageControl2_);
}

void AutoadaptacjaPage::enterPage() {}
