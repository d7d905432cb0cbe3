#pragma once

#include "ViewFixture.h"

#include "dialogs/Mp3PropertySheet.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// The properties command driven as a user drives it, on a folder of lame-made files.
using EButton = QDialogButtonBox::StandardButton;
using Action = std::function<EButton(CMp3PropertySheet&)>;
using Fields = std::vector<std::pair<const char*, QString>>;

// A tag as the program writes it: each text padded with blanks.
std::string Written(std::string title, std::string artist, std::string album, std::string year,
                    std::string comment, unsigned char genre);
// A short MP3 made by lame; empty where lame is missing.
const std::string& Audio();
QLineEdit* Edit(CMp3PropertySheet& sheet, const char* field);
// Each field is cleared, then gets key presses that carry the characters, as a keyboard of any
// layout sends them.
Action Typing(Fields fields, EButton button = QDialogButtonBox::Ok);
// Plays the user at each modal window that `command` opens: the sheet gets the next action, then
// the button it returns is pressed (Cancel once the actions run out); each message box is read
// ("title|text") and closed.
QStringList Answer(const std::function<void()>& command, std::vector<Action> actions);

// The command on every row of a folder of lame-made files.
class CPropertiesTest : public CQuavViewTest {
protected:
    void SetUp() override {
        if (Audio().empty())
            GTEST_SKIP() << "lame is missing";
    }
    std::string Put(const std::string& name, const std::string& tag) {
        return dir.Write("music/" + name, Audio() + tag);
    }
    std::string TagOf(const std::string& name) const {
        return ReadFileBytes(music + "/" + name).substr(Audio().size());
    }
    QStringList Run(std::vector<Action> actions) {
        view->SelectAll();
        return Answer([this] { view->EditProperties(); }, std::move(actions));
    }
};
