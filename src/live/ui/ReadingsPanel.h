#pragma once
#include <QGroupBox>

class Session;

// The readings panel GroupBox1 of the parameters page, fed by TimerParamOdcz.
class ReadingsPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit ReadingsPanel(Session& session, QWidget* parent = nullptr);

private:
    Session& session_;
};
