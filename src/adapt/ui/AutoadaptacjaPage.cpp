#include "adapt/ui/AutoadaptacjaPage.h"

#include "link/ControllerLink.h"
#include "live/LiveJobs.h"
#include "shell/PollTimers.h"

#include <QTabWidget>
#include <QVBoxLayout>

AutoadaptacjaPage::AutoadaptacjaPage(Models models, QWidget* parent) : QWidget(parent), m_(models) {
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

void AutoadaptacjaPage::enterPage() {
    m_.link.run(nullptr, [](Controller& c) {
        c.channel().OpenPort();
        c.channel().ClosePort();
    });
    live::postReadIgnition(m_.link, m_.live, this);
    m_.link.run(nullptr, [](Controller& c) { c.channel().OpenPort(); });
    // Each tick of the first step polls twice: the temperature, then the speed.
    m_.link.startPolling(polltimer::name(polltimer::AdaptTerm), polltimer::AdaptTerm.intervalMs, 2);
}
