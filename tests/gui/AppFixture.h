#pragma once

#include "app/QuavApp.h"
#include "support/CatalogFixture.h"

#include <QStringList>

#include <ostream>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CMainFrame;
class CQuavDoc;
class QTreeWidgetItem;

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// Sets an environment variable for the life of the object, then puts the old value back.
class CEnvVar {
public:
    CEnvVar(const char* name, const char* value);
    ~CEnvVar();
    CEnvVar(const CEnvVar&) = delete;
    CEnvVar& operator=(const CEnvVar&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

// The real application on the offscreen platform, with its profile in a temporary folder
// (QUAVERO_PROFILE) and a music folder beside it.
class CAppFixture : public CCatalogFixture {
protected:
    CAppFixture();
    ~CAppFixture() override;

    // Writes one value into the profile the application will read.
    void Set(const char* section, const char* key, const std::string& value);
    CQuavApp& Start(const QStringList& arguments = {});
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

    QTreeWidgetItem* Root() const;
    static QStringList ChildTexts(const QTreeWidgetItem* item);

    std::string Music() const { return dir / "music"; }

    std::unique_ptr<CQuavApp> app;

private:
    CEnvVar profileVar_;
    CEnvVar languageVar_;
    int argc_ = 0;
    std::vector<std::string> args_;
    std::vector<char*> argv_;
};
