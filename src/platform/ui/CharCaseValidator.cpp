#include "platform/ui/CharCaseValidator.h"

#include <QLineEdit>

TCharCaseValidator::TCharCaseValidator(TEditCharCase charCase, QObject* parent)
    : QValidator(parent), charCase_(charCase) {}

QValidator::State TCharCaseValidator::validate(QString& input, int&) const {
    fixup(input);
    return Acceptable;
}

void TCharCaseValidator::fixup(QString& input) const {
    // Per character, so the length and the cursor position stay as they were ("ß" would grow).
    for (QChar& c : input) {
        const QChar folded = charCase_ == ecUpperCase ? c.toUpper() : c.toLower();
        if (charCase_ != ecNormal) c = folded;
    }
}

void SetCharCase(QLineEdit& edit, TEditCharCase charCase) {
    edit.setValidator(charCase == ecNormal ? nullptr : new TCharCaseValidator(charCase, &edit));
}
