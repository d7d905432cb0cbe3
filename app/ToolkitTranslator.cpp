#include "app/ToolkitTranslator.h"

#include <cstring>

QString CToolkitTranslator::translate(const char* context, const char* sourceText,
                                      const char* disambiguation, int n) const {
    // QKeySequence names its keys in this context; an empty answer keeps the source text.
    if (context != nullptr && std::strcmp(context, "QShortcut") == 0)
        return {};
    return QTranslator::translate(context, sourceText, disambiguation, n);
}
