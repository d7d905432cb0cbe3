#include "dialogs/OptionPage.h"

#include "desktop/TextCodec.h"

QString COptionPage::Shown(std::string_view bytes) {
    return CTextCodec::ToQString(bytes);
}

std::string COptionPage::Typed(const QString& text, std::string_view original) {
    if (text == CTextCodec::ToQString(original))
        return std::string(original);
    return text.toStdString();
}
