#pragma once

class QLineEdit;
class QWidget;
class TmySQLQuery;

// The check run each time the focus leaves the case-number field: an empty field, or a number no
// case has, opens the case lookup; a number that exists does nothing more. A text that is not an
// integer is refused with a warning and nothing is sent. The owner becomes the lookup's owner;
// qryProcesso (the main window's) runs the check on the main window's connection.
void CheckCaseNumber(QWidget& owner, QLineEdit& edtProcesso, TmySQLQuery& qryProcesso);
