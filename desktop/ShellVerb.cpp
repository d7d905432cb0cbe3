#include "desktop/ShellVerb.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <memory>
#include <unistd.h>
#include <vector>

// GLib's object macros (G_DESKTOP_APP_INFO, G_IS_…) expand to C casts; the plain functions
// behind them are used instead.
namespace {

struct CUnrefObject {
    void operator()(void* object) const { g_object_unref(object); }
};
struct CFreeText {
    void operator()(gchar* text) const { g_free(text); }
};
struct CFreeTexts {
    void operator()(gchar** texts) const { g_strfreev(texts); }
};
struct CUnrefKeyFile {
    void operator()(GKeyFile* file) const { g_key_file_unref(file); }
};
struct CUnrefVariant {
    void operator()(GVariant* value) const { g_variant_unref(value); }
};
template <class T>
using ObjectPtr = std::unique_ptr<T, CUnrefObject>;
using TextPtr = std::unique_ptr<gchar, CFreeText>;
using TextsPtr = std::unique_ptr<gchar*, CFreeTexts>;
using KeyFilePtr = std::unique_ptr<GKeyFile, CUnrefKeyFile>;
using VariantPtr = std::unique_ptr<GVariant, CUnrefVariant>;
using EResult = CShellVerb::EResult;

constexpr const char* kContentTypes[] = {"audio/mpeg", "audio/x-mpegurl"};

// Without G_SPAWN_DO_NOT_REAP_CHILD GLib forks twice and reaps the middle process at once, so
// the player is never our child and never our zombie, whether or not a main loop runs.
constexpr GSpawnFlags kSpawnFlags = G_SPAWN_SEARCH_PATH;

// Runs in the player before it starts: a session of its own keeps it out of the caller's
// terminal job, so a hang-up or an interrupt sent to the caller does not end the music.
void LeaveCallersSession(gpointer /*unused*/) {
    ::setsid();
}

std::string OrEmpty(const gchar* text) {
    return text != nullptr ? text : "";
}

// Without regard to case; texts that are not UTF-8 compare by their ASCII letters only.
bool SameText(std::string_view a, std::string_view b) {
    if (a.empty() || b.empty())
        return a.empty() && b.empty();
    const auto aSize = static_cast<gssize>(a.size());
    const auto bSize = static_cast<gssize>(b.size());
    if (!g_utf8_validate(a.data(), aSize, nullptr) || !g_utf8_validate(b.data(), bSize, nullptr))
        return a.size() == b.size() && g_ascii_strncasecmp(a.data(), b.data(), a.size()) == 0;
    const TextPtr foldedA(g_utf8_casefold(a.data(), aSize));
    const TextPtr foldedB(g_utf8_casefold(b.data(), bSize));
    return g_strcmp0(foldedA.get(), foldedB.get()) == 0;
}

std::string WithPath(std::string argument, const std::string& path) {
    for (auto at = argument.find("%f"); at != std::string::npos; at = argument.find("%f", at)) {
        argument.replace(at, 2, path);
        at += path.size();
    }
    return argument;
}

// The path goes in after the line is split, as whole arguments or inside one, so no shell
// and no splitting ever reads it.
EResult RunCommandLine(std::string_view commandLine, const std::string& path) {
    gchar** parsed = nullptr;
    if (!g_shell_parse_argv(std::string(commandLine).c_str(), nullptr, &parsed, nullptr))
        return EResult::NotStarted;
    const TextsPtr owner(parsed);
    std::vector<std::string> arguments;
    for (gchar** argument = parsed; *argument != nullptr; ++argument)
        arguments.push_back(WithPath(*argument, path));
    std::vector<gchar*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    return g_spawn_async(nullptr, argv.data(), nullptr, kSpawnFlags, LeaveCallersSession, nullptr,
                         nullptr, nullptr)
               ? EResult::Started
               : EResult::NotStarted;
}

GDesktopAppInfo* AsDesktopApp(GAppInfo* app) {
    const auto instance = reinterpret_cast<GTypeInstance*>(app);
    if (app == nullptr || !g_type_check_instance_is_a(instance, g_desktop_app_info_get_type()))
        return nullptr;
    return reinterpret_cast<GDesktopAppInfo*>(app);
}

// The file goes as a URI made from the path's bytes; GIO turns it back into those bytes for
// the entry's %f and passes the URI for %u.
TextPtr UriOf(const std::string& path) {
    const ObjectPtr<GFile> file(g_file_new_for_path(path.c_str()));
    return TextPtr(g_file_get_uri(file.get()));
}

EResult LaunchWithFile(GDesktopAppInfo* app, const std::string& path) {
    const TextPtr uri = UriOf(path);
    GList uris{uri.get(), nullptr, nullptr};
    return g_desktop_app_info_launch_uris_as_manager(app, &uris, nullptr, kSpawnFlags,
                                                     LeaveCallersSession, nullptr, nullptr, nullptr,
                                                     nullptr)
               ? EResult::Started
               : EResult::NotStarted;
}

std::string ActionGroup(const std::string& action) {
    return "Desktop Action " + action;
}

// The action whose id, shown name or untranslated name is the verb; "" when there is none.
std::string FindAction(GDesktopAppInfo* app, GKeyFile* entry, std::string_view verb) {
    for (const gchar* const* id = g_desktop_app_info_list_actions(app); *id != nullptr; ++id) {
        const TextPtr shown(g_desktop_app_info_get_action_name(app, *id));
        const TextPtr plain(
            g_key_file_get_string(entry, ActionGroup(*id).c_str(), "Name", nullptr));
        if (SameText(*id, verb) || SameText(OrEmpty(shown.get()), verb) ||
            SameText(OrEmpty(plain.get()), verb))
            return *id;
    }
    return {};
}

// GIO starts a desktop action without files. The entry is therefore made anew with the
// action's Exec as its own and launched like the application, so that GIO expands the field
// codes (%f, %u, %F, %U, %i, %c, %%) with the file exactly as it does for the application.
// Without DBusActivatable, as D-Bus activation would open the file with the main command.
EResult LaunchAction(GDesktopAppInfo* app, std::string_view verb, const std::string& path) {
    const char* fileName = g_desktop_app_info_get_filename(app);
    const KeyFilePtr entry(g_key_file_new());
    if (fileName == nullptr ||
        !g_key_file_load_from_file(entry.get(), fileName, G_KEY_FILE_KEEP_TRANSLATIONS, nullptr))
        return EResult::NotStarted;
    const std::string action = FindAction(app, entry.get(), verb);
    if (action.empty())
        return EResult::NoSuchVerb;
    const TextPtr exec(g_key_file_get_string(entry.get(), ActionGroup(action).c_str(),
                                             G_KEY_FILE_DESKTOP_KEY_EXEC, nullptr));
    if (exec == nullptr)
        return EResult::NotStarted;
    g_key_file_set_string(entry.get(), G_KEY_FILE_DESKTOP_GROUP, G_KEY_FILE_DESKTOP_KEY_EXEC,
                          exec.get());
    g_key_file_remove_key(entry.get(), G_KEY_FILE_DESKTOP_GROUP,
                          G_KEY_FILE_DESKTOP_KEY_DBUS_ACTIVATABLE, nullptr);
    const ObjectPtr<GDesktopAppInfo> actionApp(g_desktop_app_info_new_from_keyfile(entry.get()));
    return actionApp != nullptr ? LaunchWithFile(actionApp.get(), path) : EResult::NotStarted;
}

// The default application of a content type started with the file.
EResult OpenWithDefault(const char* type, const std::string& path) {
    const ObjectPtr<GAppInfo> app(g_app_info_get_default_for_type(type, FALSE));
    GDesktopAppInfo* desktopApp = AsDesktopApp(app.get());
    return desktopApp != nullptr ? LaunchWithFile(desktopApp, path) : EResult::NoApplication;
}

// The file manager's interface on the session bus, shared by the desktops' file managers.
constexpr const char* kFileManager = "org.freedesktop.FileManager1";
constexpr const char* kFileManagerPath = "/org/freedesktop/FileManager1";
// The bus itself answers at once; a file manager that must start first may take a while.
constexpr int kBusTimeout = 1000;
constexpr int kShowTimeout = 10000;

VariantPtr AskBus(GDBusConnection* bus, const char* method, GVariant* parameters) {
    return VariantPtr(g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", method,
        parameters, nullptr, G_DBUS_CALL_FLAGS_NONE, kBusTimeout, nullptr, nullptr));
}

// A file manager runs under the name, or the bus can start one for it.
bool FileManagerAnswers(GDBusConnection* bus) {
    gboolean owned = FALSE;
    if (const VariantPtr reply = AskBus(bus, "NameHasOwner", g_variant_new("(s)", kFileManager)))
        g_variant_get(reply.get(), "(b)", &owned);
    if (owned)
        return true;
    const VariantPtr reply = AskBus(bus, "ListActivatableNames", nullptr);
    if (reply == nullptr || !g_variant_is_of_type(reply.get(), G_VARIANT_TYPE("(as)")))
        return false;
    const VariantPtr names(g_variant_get_child_value(reply.get(), 0));
    for (gsize i = 0; i < g_variant_n_children(names.get()); ++i) {
        const VariantPtr name(g_variant_get_child_value(names.get(), i));
        if (g_strcmp0(g_variant_get_string(name.get(), nullptr), kFileManager) == 0)
            return true;
    }
    return false;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// A file manager that fails to show the file leaves the folder to the desktop.
void OnShown(GObject* bus, GAsyncResult* result, gpointer folder) {
    const std::unique_ptr<std::string> path(static_cast<std::string*>(folder));
    GError* error = nullptr;
    const VariantPtr reply(
        g_dbus_connection_call_finish(reinterpret_cast<GDBusConnection*>(bus), result, &error));
    if (reply != nullptr)
        return;
    g_error_free(error);
    OpenWithDefault("inode/directory", *path);
}

} // namespace

CShellVerb::EResult CShellVerb::Execute(std::string_view verb, const std::string& path,
                                        EContent content) {
    if (verb.find("%f") != std::string_view::npos)
        return RunCommandLine(verb, path);
    const char* type = kContentTypes[static_cast<std::size_t>(content)];
    if (SameText(verb, "open") || SameText(verb, "play"))
        return OpenWithDefault(type, path);
    const ObjectPtr<GAppInfo> app(g_app_info_get_default_for_type(type, FALSE));
    GDesktopAppInfo* desktopApp = AsDesktopApp(app.get());
    return desktopApp != nullptr ? LaunchAction(desktopApp, verb, path) : EResult::NoApplication;
}

// The answer of the file manager comes back through the event loop, which runs GLib's.
CShellVerb::EResult CShellVerb::ShowInFolder(const std::string& path) {
    const ObjectPtr<GDBusConnection> bus(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr));
    if (bus == nullptr || !FileManagerAnswers(bus.get()))
        return OpenWithDefault("inode/directory", FolderOf(path));
    const TextPtr uri = UriOf(path);
    const gchar* const uris[] = {uri.get(), nullptr};
    g_dbus_connection_call(bus.get(), kFileManager, kFileManagerPath, kFileManager, "ShowItems",
                           g_variant_new("(^ass)", uris, ""), nullptr, G_DBUS_CALL_FLAGS_NONE,
                           kShowTimeout, nullptr, OnShown, new std::string(FolderOf(path)));
    return EResult::Started;
}
