#pragma once

#include <QString>
#include <QWidget>

#include <string>
#include <string_view>

struct SOptionValues;

// One tab of the options sheet. A page fills its controls from the values when it is made, and
// gives them back only if the user opened it, so a page never opened changes nothing.
class COptionPage : public QWidget {
public:
    using QWidget::QWidget;

    virtual void Store(SOptionValues& values) const = 0;
    // Why the page cannot be left as it stands, or empty when it can.
    virtual QString Failure() const { return {}; }
    // Puts the focus in the field that Failure speaks of.
    virtual void FocusFailure() {}

protected:
    // Profile texts are bytes: shown as UTF-8 when they are, else as Latin-1. A text still
    // reading as `original` keeps its exact bytes; anything typed is stored as UTF-8, the
    // encoding of file names here.
    static QString Shown(std::string_view bytes);
    static std::string Typed(const QString& text, std::string_view original);
};
