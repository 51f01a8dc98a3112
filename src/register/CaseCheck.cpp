#include "register/CaseCheck.h"

#include <QLineEdit>

#include "db/TmySQLQuery.h"
#include "platform/ui/MessageBox.h"
#include "register/CaseNumber.h"
#include "register/Statements.h"
#include "register/TfrmBusca.h"

namespace {

bool isBlank(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() > ' ') return false;
    return true;
}

void openLookup(QWidget& owner, QLineEdit& edtProcesso, TmySQLQuery& qryProcesso) {
    TfrmBusca lookup(owner, qryProcesso.Database(), [&](const QString& picked) {
        edtProcesso.setText(picked);
        CheckCaseNumber(owner, edtProcesso, qryProcesso);
    });
    lookup.exec();
}

}  // namespace

void CheckCaseNumber(QWidget& owner, QLineEdit& edtProcesso, TmySQLQuery& qryProcesso) {
    const QString text = edtProcesso.text();
    if (isBlank(text)) {
        openLookup(owner, edtProcesso, qryProcesso);
        return;
    }
    const auto caseNumber = ParseCaseNumber(text.toStdString());
    if (!caseNumber) {
        TMessageBox::Show(&owner, QString::fromUtf8(EInvalidCaseNumber().what()),
                          QStringLiteral("Atenção"), TMsgIcon::Warning);
        return;
    }
    qryProcesso.Close();
    qryProcesso.SQL().Clear();
    qryProcesso.SQL().Add(Statements::CaseByNumber(*caseNumber));
    qryProcesso.Open();
    if (qryProcesso.RecordCount() == 0) openLookup(owner, edtProcesso, qryProcesso);
}
