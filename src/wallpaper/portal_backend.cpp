// SPDX-License-Identifier: GPL-3.0-or-later
// Inside a sandbox (Flatpak, Snap) the desktop's own stores are out of
// reach: the desktop portal sets the wallpaper for the program, from a file
// descriptor, and answers later with a Response signal on a request object.
// GDBus is used because the answer is a signal to wait for; GIO's headers
// clash with Qt's `signals` macro, so this file includes no Qt header that
// defines it.
#include "wallpaper/backends.h"

#undef signals
#include <gio/gio.h>
#include <gio/gunixfdlist.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <string>

namespace ombrix
{

namespace
{

const char* const kPortal = "org.freedesktop.portal.Desktop";
const char* const kPortalPath = "/org/freedesktop/portal/desktop";

struct Answer {
    bool received = false;
    guint32 code = 2;
};

void onResponse(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                GVariant* parameters, gpointer data)
{
    auto* answer = static_cast<Answer*>(data);
    GVariant* results = nullptr;
    g_variant_get(parameters, "(u@a{sv})", &answer->code, &results);
    if (results != nullptr)
        g_variant_unref(results);
    answer->received = true;
}

gboolean onTimeout(gpointer data)
{
    *static_cast<bool*>(data) = true;
    return G_SOURCE_REMOVE;
}

std::string errorText(GError* e)
{
    std::string s = e != nullptr ? e->message : "unknown error";
    if (e != nullptr)
        g_error_free(e);
    return s;
}

class PortalWallpaper final : public WallpaperBackend
{
public:
    explicit PortalWallpaper(PortalOptions o) : options_(std::move(o)) {}

    std::string desktopName() const override { return "the desktop portal"; }

    std::string whyCannotApply() const override
    {
        GError* error = nullptr;
        GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
        if (bus == nullptr)
            return "Ombrix runs in a sandbox, where only the desktop portal can set the "
                   "wallpaper, and there is no session bus to reach it: " +
                   errorText(error);
        // Running now, or started by the bus when called.
        bool found = false;
        for (const char* method : {"ListNames", "ListActivatableNames"}) {
            GVariant* names = g_dbus_connection_call_sync(
                bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                method, nullptr, G_VARIANT_TYPE("(as)"), G_DBUS_CALL_FLAGS_NONE, 5000, nullptr,
                nullptr);
            if (names == nullptr)
                continue;
            GVariantIter* it = nullptr;
            const gchar* name = nullptr;
            g_variant_get(names, "(as)", &it);
            while (!found && g_variant_iter_next(it, "&s", &name))
                found = std::string(name) == kPortal;
            g_variant_iter_free(it);
            g_variant_unref(names);
        }
        g_object_unref(bus);
        if (!found)
            return "Ombrix runs in a sandbox, where only the desktop portal can set the "
                   "wallpaper, and no portal answers on the session bus. Install the desktop's "
                   "portal (xdg-desktop-portal with xdg-desktop-portal-gnome or -kde) outside the "
                   "sandbox.";
        return {};
    }

    std::string whyCannotRestore() const override
    {
        if (!read_)
            return "The wallpaper in force could not be read before it was changed.";
        if (original_.empty())
            return "Inside a sandbox the desktop's wallpaper setting cannot be read, so the "
                   "wallpaper found at start-up cannot be put back.";
        return {};
    }

    // The portal has no call to read the wallpaper; the settings portal
    // answers for the GNOME family's key where the desktop lets it, and only
    // a file this sandbox can open can be handed back.
    WallpaperResult readCurrent() override
    {
        original_.clear();
        read_ = true;
        GError* error = nullptr;
        GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
        if (bus == nullptr) {
            read_ = false;
            return WallpaperResult::failure("There is no session bus to reach the desktop "
                                            "portal: " +
                                            errorText(error));
        }
        GVariant* reply = g_dbus_connection_call_sync(
            bus, kPortal, kPortalPath, "org.freedesktop.portal.Settings", "Read",
            g_variant_new("(ss)", "org.gnome.desktop.background", "picture-uri"),
            G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, &error);
        if (reply != nullptr) {
            GVariant* outer = nullptr;
            g_variant_get(reply, "(v)", &outer);
            // Read answers a variant holding the value's variant.
            GVariant* value = outer;
            while (value != nullptr && g_variant_is_of_type(value, G_VARIANT_TYPE_VARIANT)) {
                GVariant* inner = g_variant_get_variant(value);
                g_variant_unref(value);
                value = inner;
            }
            if (value != nullptr && g_variant_is_of_type(value, G_VARIANT_TYPE_STRING)) {
                const std::string path = uriPath(g_variant_get_string(value, nullptr));
                if (!path.empty() && ::access(path.c_str(), R_OK) == 0)
                    original_ = path;
            }
            if (value != nullptr)
                g_variant_unref(value);
            g_variant_unref(reply);
        } else if (error != nullptr) {
            g_error_free(error);
        }
        g_object_unref(bus);
        return WallpaperResult::success();
    }

    DesktopValues values() const override
    {
        DesktopValues v;
        if (read_)
            v.wallpaper = original_;
        return v;
    }

    WallpaperResult apply(const std::string& file, Arrangement a) override
    {
        // The portal takes no arrangement: the picture goes as the screen
        // should show it, composed at the monitor's size, in place of the
        // file (a new name the caller owns).
        std::string why;
        if (!options_.monitors.empty() && !composeInPlace(file, options_.monitors.front(), a, why))
            return WallpaperResult::failure(why);
        return send(file);
    }

    WallpaperResult restore() override
    {
        const std::string why = whyCannotRestore();
        if (!why.empty())
            return WallpaperResult::failure(why);
        return send(original_);
    }

private:
    WallpaperResult send(const std::string& file) const
    {
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return WallpaperResult::failure("The wallpaper file \"" + file +
                                            "\" cannot be opened for the portal.");
        GError* error = nullptr;
        GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
        if (bus == nullptr) {
            ::close(fd);
            return WallpaperResult::failure("There is no session bus to reach the desktop "
                                            "portal: " +
                                            errorText(error));
        }
        // The answer's object is known before the call (the portal names it
        // from our bus name and a token), so the signal is subscribed first
        // and cannot be missed.
        static std::atomic<int> counter{0};
        const std::string token =
            "ombrix" + std::to_string(::getpid()) + "_" + std::to_string(counter.fetch_add(1));
        std::string sender = g_dbus_connection_get_unique_name(bus) + 1;
        for (char& c : sender)
            if (c == '.')
                c = '_';
        const std::string request = std::string(kPortalPath) + "/request/" + sender + "/" + token;

        GMainContext* context = g_main_context_new();
        g_main_context_push_thread_default(context);
        Answer answer;
        const guint subscription = g_dbus_connection_signal_subscribe(
            bus, kPortal, "org.freedesktop.portal.Request", "Response", request.c_str(), nullptr,
            G_DBUS_SIGNAL_FLAGS_NONE, onResponse, &answer, nullptr);

        GUnixFDList* fds = g_unix_fd_list_new_from_array(&fd, 1); // takes the descriptor
        GVariantBuilder opts;
        g_variant_builder_init(&opts, G_VARIANT_TYPE_VARDICT);
        g_variant_builder_add(&opts, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
        g_variant_builder_add(&opts, "{sv}", "show-preview", g_variant_new_boolean(FALSE));
        g_variant_builder_add(&opts, "{sv}", "set-on", g_variant_new_string("background"));
        GVariant* reply = g_dbus_connection_call_with_unix_fd_list_sync(
            bus, kPortal, kPortalPath, "org.freedesktop.portal.Wallpaper", "SetWallpaperFile",
            g_variant_new("(sha{sv})", "", 0, &opts), G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE,
            30000, fds, nullptr, nullptr, &error);
        g_object_unref(fds);

        WallpaperResult result;
        if (reply == nullptr) {
            result = WallpaperResult::failure("The desktop portal cannot set the wallpaper: " +
                                              errorText(error));
            g_dbus_connection_signal_unsubscribe(bus, subscription);
        } else {
            // The portal may ask the user first: wait for the answer.
            const gchar* path = nullptr;
            g_variant_get(reply, "(&o)", &path);
            if (request != path) // an older portal names the request itself
                g_dbus_connection_signal_unsubscribe(bus, subscription);
            const guint other =
                request != path
                    ? g_dbus_connection_signal_subscribe(
                          bus, kPortal, "org.freedesktop.portal.Request", "Response", path, nullptr,
                          G_DBUS_SIGNAL_FLAGS_NONE, onResponse, &answer, nullptr)
                    : subscription;
            bool late = false;
            GSource* timer = g_timeout_source_new(static_cast<guint>(options_.answerTimeoutMs));
            g_source_set_callback(timer, onTimeout, &late, nullptr);
            g_source_attach(timer, context);
            while (!answer.received && !late)
                g_main_context_iteration(context, TRUE);
            g_source_destroy(timer);
            g_source_unref(timer);
            g_dbus_connection_signal_unsubscribe(bus, other);
            g_variant_unref(reply);
            if (!answer.received)
                result = WallpaperResult::failure("The desktop portal gave no answer; the "
                                                  "wallpaper may not have changed.");
            else if (answer.code == 0)
                result = WallpaperResult::success();
            else if (answer.code == 1)
                result = WallpaperResult::failure("The wallpaper was not changed: it was "
                                                  "cancelled in the desktop's dialog.");
            else
                result = WallpaperResult::failure("The desktop refused to change the wallpaper "
                                                  "(the portal answered with an error).");
        }
        g_main_context_pop_thread_default(context);
        g_main_context_unref(context);
        g_object_unref(bus);
        return result;
    }

    PortalOptions options_;
    std::string original_;
    bool read_ = false;
};

} // namespace

std::unique_ptr<WallpaperBackend> makePortalBackend(PortalOptions options)
{
    return std::make_unique<PortalWallpaper>(std::move(options));
}

} // namespace ombrix
