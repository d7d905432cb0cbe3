#include "gui/AppFixture.h"

#include "catalog/QuavDoc.h"
#include "desktop/BusyAnimation.h"
#include "frame/AddressBar.h"
#include "frame/CommandTable.h"
#include "frame/MainFrame.h"
#include "views/LeftView.h"

#include <QEventLoop>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidgetItem>

#include <cstdlib>
#include <fstream>
#include <sstream>

CAppFixture::CAppFixture()
    : profileVar_("QUAVERO_PROFILE", (dir / "quavero.ini").c_str()),
      languageVar_("QUAVERO_LANG", "en"), configVar_("XDG_CONFIG_HOME", (dir / "config").c_str()),
      musicVar_("XDG_MUSIC_DIR", (dir / "music").c_str()) {
    dir.MakeDir("music");
}

CAppFixture::~CAppFixture() {
    app.reset();
}

void CAppFixture::Set(const char* section, const char* key, const std::string& value) {
    profile.WriteString(section, key, value);
}

CQuavApp& CAppFixture::Start(const QStringList& arguments, const std::function<void()>& started) {
    args_ = {"quavero"};
    for (const QString& argument : arguments)
        args_.push_back(argument.toStdString());
    argv_.clear();
    for (std::string& arg : args_)
        argv_.push_back(arg.data());
    argv_.push_back(nullptr);
    argc_ = static_cast<int>(args_.size());
    app = std::make_unique<CQuavApp>(argc_, argv_.data());
    EXPECT_TRUE(app->InitInstance());
    if (started)
        started();
    Idle();
    return *app;
}

void CAppFixture::Close() {
    Frame().close();
    Idle();
}

CMainFrame& CAppFixture::Frame() const {
    return *app->Frame();
}

CAddressBar& CAppFixture::AddressBox() const {
    return Named<CAddressBar>("addressBox");
}

CBusyAnimation& CAppFixture::Animation() const {
    return Named<CBusyAnimation>("busyAnimation");
}

QToolButton* CAppFixture::ToolButton(ECommandId id) const {
    auto& bar = Named<QToolBar>("toolBar");
    return qobject_cast<QToolButton*>(bar.widgetForAction(Frame().Commands().Action(id)));
}

CQuavDoc& CAppFixture::Doc() const {
    return *app->Document();
}

std::string CAppFixture::Stored(const char* section, const char* key) const {
    return CIniProfile(dir / "quavero.ini").GetString(section, key, "<absent>");
}

std::vector<std::string> CAppFixture::KeysOf(const std::string& section) const {
    std::ifstream file(dir / "quavero.ini");
    std::vector<std::string> keys;
    std::string line;
    bool inside = false;
    while (std::getline(file, line)) {
        if (!line.empty() && line[0] == '[')
            inside = line == "[" + section + "]";
        else if (inside && line.find('=') != std::string::npos)
            keys.push_back(line.substr(0, line.find('=')));
    }
    return keys;
}

// A short real run of the event loop: it blocks, so the window's idle work runs too.
void CAppFixture::Idle() {
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
}

QTreeWidgetItem* CAppFixture::Root() const {
    return Frame().GetLeftView()->topLevelItem(0);
}

QStringList CAppFixture::ChildTexts(const QTreeWidgetItem* item) {
    QStringList texts;
    for (int i = 0; item != nullptr && i < item->childCount(); ++i)
        texts.append(item->child(i)->text(0));
    return texts;
}
