#pragma once

#include "app/QuavApp.h"
#include "frame/MainFrame.h"
#include "platform/CommandIds.h"
#include "support/CatalogFixture.h"
#include "support/ScopedEnv.h"

#include <QStringList>

#include <ostream>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CAddressBar;
class CBusyAnimation;
class QToolButton;
class CQuavDoc;
class QTreeWidgetItem;

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// The real application on the offscreen platform, with its profile in a temporary folder
// (QUAVERO_PROFILE) and a music folder beside it.
class CAppFixture : public CCatalogFixture {
protected:
    CAppFixture();
    ~CAppFixture() override;

    // Writes one value into the profile the application will read.
    void Set(const char* section, const char* key, const std::string& value);
    // `started` runs once the window is made and shown, before the event loop first runs, and
    // so before the start-up address opens.
    CQuavApp& Start(const QStringList& arguments = {}, const std::function<void()>& started = {});
    // Closes the window the way its close box does, then lets pending events run.
    void Close();
    CMainFrame& Frame() const;
    CQuavDoc& Doc() const;
    // The value as the profile file holds it now, or "<absent>".
    std::string Stored(const char* section, const char* key) const;
    // The keys of `section`, in file order.
    std::vector<std::string> KeysOf(const std::string& section) const;
    // Lets the event loop run until it has nothing left to do.
    static void Idle();

    // The window's child of that type and object name; the test fails without one.
    template <class T>
    T& Named(const char* name) const {
        T* child = Frame().template findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return *child;
    }
    CAddressBar& AddressBox() const;
    CBusyAnimation& Animation() const;
    // The tool button of a command, or null when the tool bar has none.
    QToolButton* ToolButton(ECommandId id) const;

    QTreeWidgetItem* Root() const;
    static QStringList ChildTexts(const QTreeWidgetItem* item);

    std::string Music() const { return dir / "music"; }

    std::unique_ptr<CQuavApp> app;

private:
    CScopedEnv profileVar_;
    CScopedEnv languageVar_;
    // The desktop's music folder is the fixture's: a start without an address opens it.
    CScopedEnv configVar_;
    CScopedEnv musicVar_;
    int argc_ = 0;
    std::vector<std::string> args_;
    std::vector<char*> argv_;
};
