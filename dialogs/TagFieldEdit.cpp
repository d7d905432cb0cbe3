#include "dialogs/TagFieldEdit.h"

#include "desktop/TextCodec.h"
#include "dialogs/ByteLimitValidator.h"

CTagFieldEdit::CTagFieldEdit(std::size_t byteLimit, QWidget* parent)
    : QLineEdit(parent),
      validator_(new CByteLimitValidator(
          byteLimit, [this](const QString& text) { return Measure(text); }, this)) {
    setValidator(validator_);
    // Once a long text is shortened it may not grow back past what it has become.
    connect(this, &QLineEdit::textChanged, this,
            [this](const QString& text) { validator_->SetCeiling(Measure(text)); });
}

// The ceiling is raised before the text is set: the edit then takes the long text as standing,
// and refuses to lengthen it.
void CTagFieldEdit::SetBytes(std::string bytes) {
    original_ = std::move(bytes);
    const QString text = CTextCodec::ToQString(original_);
    validator_->SetCeiling(Measure(text));
    setText(text);
}

void CTagFieldEdit::Propose(const std::string& bytes) {
    const QString text = CTextCodec::ToQString(bytes);
    validator_->SetCeiling(Measure(text));
    setText(text);
}

std::string CTagFieldEdit::Bytes() const {
    return CTextCodec::FromQString(text(), original_);
}

std::size_t CTagFieldEdit::ByteLimit() const {
    return validator_->Limit();
}

void CTagFieldEdit::SetByteLimit(std::size_t limit) {
    validator_->SetLimit(limit);
    validator_->SetCeiling(Measure(text()));
}

std::size_t CTagFieldEdit::Measure(const QString& text) const {
    return CTextCodec::FromQString(text, original_).size();
}
