#pragma once

#include <QTranslator>

// Qt's own texts in French, but the names of keys as the English window writes them: a menu
// shows "Ctrl+Return" beside its entry in either language, as the key caps read.
class CToolkitTranslator : public QTranslator {
    Q_OBJECT
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override;
};
