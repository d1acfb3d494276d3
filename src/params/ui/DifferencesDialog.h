#pragma once
#include <QStringList>
#include <vector>

class QDialog;
class QWidget;
struct ParamDifference;

// The differences between the parameters page and the controller as a table
// (caption, page value, controller value), one row per parameter, in a window
// that stays open beside the page ("PorownanieDialog", table "PorownanieTabela").
// A note (the fields whose bytes the page cannot show) stands under the
// table when given; closeText captions its close button. The window deletes
// itself when closed.
QDialog* makeDifferencesDialog(QWidget* parent, const QString& title, const QStringList& headers,
                               const std::vector<ParamDifference>& differences, const QString& closeText,
                               const QString& note = {});
