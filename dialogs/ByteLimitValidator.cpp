#include "dialogs/ByteLimitValidator.h"

CByteLimitValidator::CByteLimitValidator(std::size_t limit, Measure measure, QObject* parent)
    : QValidator(parent), limit_(limit), ceiling_(limit), measure_(std::move(measure)) {}

// Intermediate keeps an over-long text in the edit without calling it acceptable; Invalid
// makes the edit undo the keystroke or paste.
QValidator::State CByteLimitValidator::validate(QString& input, int&) const {
    const std::size_t bytes = measure_(input);
    if (bytes <= limit_)
        return Acceptable;
    return bytes <= ceiling_ ? Intermediate : Invalid;
}
