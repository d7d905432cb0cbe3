#include "desktop/MessageBoxReporter.h"

#include <QMessageBox>
#include <QString>

void CMessageBoxReporter::Report(std::string_view caption, std::string_view text) {
    const auto toQt = [](std::string_view s) {
        return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
    };
    QMessageBox::warning(owner_, toQt(caption), toQt(text), QMessageBox::Ok);
}
