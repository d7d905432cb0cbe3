#include "desktop/MessageBoxReporter.h"

#include "desktop/MessageBox.h"

#include <QString>

void CMessageBoxReporter::Report(std::string_view caption, std::string_view text) {
    const auto toQt = [](std::string_view s) {
        return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
    };
    CMessageBox::Show(owner_, toQt(caption), toQt(text), QMessageBox::Warning, QMessageBox::Ok);
}
