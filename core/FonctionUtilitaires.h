#pragma once

#include <QVariant>

class QWidget;
class Ui;

// Database-null conversions, the pause that keeps the interface alive, and centring.
namespace FonctionUtilitaires {

// The empty text for null, otherwise the value as text. A value without a text form
// reports "ConvertNullStr" (when a Ui is given) and answers the empty text.
QString ConvertNullStr(const QVariant& value, Ui* ui = nullptr);
// 0 for null or the empty text, otherwise the value as a number; a value that is not a
// number throws AppException 13 ("Incompatibilité de type") to the caller.
double ConvertNullNum(const QVariant& value);
// Waits while window events keep running.
void Pause(double seconds);
// Centres a top-level window on its screen.
void CentreForm(QWidget* window);
// Moves a panel to ((screen width - width) / 2, (screen height - height) / 2) in the
// coordinates of its window.
void CentreControl(QWidget* control);

} // namespace FonctionUtilitaires
