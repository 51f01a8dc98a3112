#pragma once

#include <QValidator>

class QLineEdit;

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// Folds the letters of a single-line edit to one case as they are typed or pasted, so the edit
// never holds the other case. Owned by the edit it is set on.
class TCharCaseValidator final : public QValidator {
    Q_OBJECT

  public:
    TCharCaseValidator(TEditCharCase charCase, QObject* parent);

    State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

  private:
    TEditCharCase charCase_;
};

// Sets the edit's case folding (ecNormal removes it).
void SetCharCase(QLineEdit& edit, TEditCharCase charCase);
