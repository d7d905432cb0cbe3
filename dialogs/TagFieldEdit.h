#pragma once

#include <QLineEdit>

#include <cstddef>
#include <string>

class CByteLimitValidator;

// One text field of a track's tags. Its limit counts the bytes that will be written (Latin-1
// when every character fits, else UTF-8), and a text put in from the file and left as it is
// gives back its own bytes, whatever their encoding.
class CTagFieldEdit : public QLineEdit {
    Q_OBJECT

public:
    CTagFieldEdit(std::size_t byteLimit, QWidget* parent = nullptr);

    // Shows the bytes as text and keeps them as what an unchanged text stands for.
    void SetBytes(std::string bytes);
    // Shows a text the user may take as it is, as if typed: it counts as a change.
    void Propose(const std::string& bytes);
    // The text as it will be written.
    std::string Bytes() const;
    std::size_t ByteLimit() const;
    void SetByteLimit(std::size_t limit);
    bool FitsLimit() const { return Bytes().size() <= ByteLimit(); }
    // A text typed: not empty, and not the one put in. An emptied field changes nothing.
    bool IsChanged() const { return !text().isEmpty() && Bytes() != original_; }

private:
    std::size_t Measure(const QString& text) const;

    std::string original_;
    CByteLimitValidator* validator_;
};
