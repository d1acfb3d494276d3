#pragma once
#include "params/ParameterSession.h"

#include <functional>
#include <vector>

class QDialog;
class QWidget;

// "Historia": the restore points, newest first, as a table (time, port, what
// was about to be written, what differs from the controller now) in a window
// beside the page ("HistoriaDialog", table "HistoriaTabela"). "Przywróć"
// (PrzywrocButt, the default button: Enter) restores the selected point and
// closes the window; Escape closes it. The window deletes itself when closed.
QDialog* makeHistoryDialog(QWidget* parent, const params::ParameterSession& session,
                           const std::vector<params::ParameterSession::PointRow>& rows,
                           std::function<void(int id)> restore);
