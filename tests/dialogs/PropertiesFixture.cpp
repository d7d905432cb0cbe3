#include "PropertiesFixture.h"

#include "support/Mp3Maker.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

std::string Written(std::string title, std::string artist, std::string album, std::string year,
                    std::string comment, unsigned char genre) {
    for (auto [text, width] :
         {std::pair{&title, 30}, {&artist, 30}, {&album, 30}, {&year, 4}, {&comment, 30}})
        text->resize(static_cast<std::size_t>(width), ' ');
    return "TAG" + title + artist + album + year + comment + static_cast<char>(genre);
}

const std::string& Audio() {
    static const std::string audio = [] {
        CTempDir dir;
        return Mp3Maker::Encode(dir / "a.mp3", 0.2, 44100, "-b 128") ? ReadFileBytes(dir / "a.mp3")
                                                                     : std::string();
    }();
    return audio;
}

QLineEdit* Edit(CMp3PropertySheet& sheet, const char* field) {
    return sheet.findChild<QLineEdit*>(QLatin1String(field));
}

Action Typing(Fields fields, EButton button) {
    return [fields = std::move(fields), button](CMp3PropertySheet& sheet) {
        for (const auto& [field, text] : fields) {
            Edit(sheet, field)->clear();
            for (const QChar c : text) {
                QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                QApplication::sendEvent(Edit(sheet, field), &key);
            }
        }
        return button;
    };
}

QStringList Answer(const std::function<void()>& command, std::vector<Action> actions) {
    QStringList messages;
    std::size_t visit = 0;
    bool pressing = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages << box->windowTitle() + QLatin1Char('|') + box->text();
            box->button(QMessageBox::Ok)->click();
        } else if (auto* sheet = qobject_cast<CMp3PropertySheet*>(modal); sheet && !pressing) {
            const EButton button =
                visit < actions.size() ? actions[visit++](*sheet) : QDialogButtonBox::Cancel;
            pressing = true;
            // Outside this timer's call, so that a message box the press opens is answered too.
            QTimer::singleShot(0, sheet, [&pressing, sheet, button] {
                pressing = false;
                sheet->findChild<QDialogButtonBox*>()->button(button)->click();
            });
        }
    });
    timer.start(5);
    command();
    return messages;
}
