#pragma once

#include <QValidator>

#include <cstddef>
#include <functional>

// Keeps an edit's text within a number of bytes, counted by `measure`. A text longer than the
// limit may stand only up to the ceiling, so that a long text put in by the program can be
// shortened but not lengthened.
class CByteLimitValidator : public QValidator {
public:
    using Measure = std::function<std::size_t(const QString&)>;

    CByteLimitValidator(std::size_t limit, Measure measure, QObject* parent = nullptr);

    State validate(QString& input, int& position) const override;
    std::size_t Limit() const { return limit_; }
    void SetLimit(std::size_t limit) { limit_ = limit; }
    // The longest text allowed now: the limit, or the length of a longer text in the edit.
    void SetCeiling(std::size_t bytes) { ceiling_ = bytes > limit_ ? bytes : limit_; }

private:
    std::size_t limit_;
    std::size_t ceiling_;
    Measure measure_;
};
