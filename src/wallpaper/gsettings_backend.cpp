// SPDX-License-Identifier: GPL-3.0-or-later
// GNOME (and Budgie, Unity, Pantheon), Cinnamon and MATE keep the wallpaper
// in GSettings.  GIO's C API is used directly: it is what those desktops
// read, and it is already loaded with Qt.  This is the one file that
// includes GIO, whose headers clash with Qt's `signals` macro.
#include "wallpaper/backends.h"

#undef signals
#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace ombrix
{

const GSettingsDesktop kGnomeDesktop{"GNOME",           "org.gnome.desktop.background",
                                     "picture-uri",     "picture-uri-dark",
                                     "picture-options", true};
const GSettingsDesktop kCinnamonDesktop{
    "Cinnamon", "org.cinnamon.desktop.background", "picture-uri", nullptr, "picture-options", true};
const GSettingsDesktop kMateDesktop{"MATE",  "org.mate.background", "picture-filename",
                                    nullptr, "picture-options",     false};

namespace
{

// The option names are the same on all three desktops (MATE's enum numbers
// differ, so names are written, never numbers).
const char* optionName(Arrangement a)
{
    switch (a) {
    case Arrangement::Tile:
        return "wallpaper";
    case Arrangement::Center:
        return "centered";
    case Arrangement::Stretch:
        return "stretched";
    }
    return "wallpaper";
}

template <class T, void (*Free)(T*)> struct GPtr {
    T* p = nullptr;
    GPtr() = default;
    explicit GPtr(T* q) : p(q) {}
    GPtr(const GPtr&) = delete;
    GPtr& operator=(const GPtr&) = delete;
    ~GPtr()
    {
        if (p != nullptr)
            Free(p);
    }
    void reset(T* q)
    {
        if (p != nullptr)
            Free(p);
        p = q;
    }
};

void unrefSource(GSettingsSchemaSource* s)
{
    g_settings_schema_source_unref(s);
}

// dconf warns on stderr when it cannot reach its service; the value read
// back reports that failure, in words the user can act on, so its warnings
// are dropped.  Every other message goes to GLib's standard writer.
GLogWriterOutput writer(GLogLevelFlags level, const GLogField* fields, gsize n, gpointer data)
{
    for (gsize i = 0; i < n; ++i)
        if (std::strcmp(fields[i].key, "GLIB_DOMAIN") == 0 && fields[i].length < 0 &&
            std::strcmp(static_cast<const char*>(fields[i].value), "dconf") == 0 &&
            (level & G_LOG_LEVEL_WARNING) != 0)
            return G_LOG_WRITER_HANDLED;
    return g_log_writer_default(level, fields, n, data);
}

bool sandboxed()
{
    return g_file_test("/.flatpak-info", G_FILE_TEST_EXISTS) || g_getenv("FLATPAK_ID") != nullptr ||
           g_getenv("SNAP") != nullptr;
}

void quietDconf()
{
    static bool done = false; // GLib takes one writer per process
    if (!done)
        g_log_set_writer_func(writer, nullptr, nullptr);
    done = true;
}

class GSettingsWallpaper final : public WallpaperBackend
{
public:
    GSettingsWallpaper(const GSettingsDesktop& desktop, GSettingsStore store,
                       std::vector<Monitor> monitors)
        : desktop_(desktop), store_(std::move(store)), monitors_(std::move(monitors))
    {
    }
    ~GSettingsWallpaper() override
    {
        if (settings_ != nullptr)
            g_object_unref(settings_);
        if (backend_ != nullptr)
            g_object_unref(backend_);
        if (schema_ != nullptr)
            g_settings_schema_unref(schema_);
    }

    std::string desktopName() const override { return desktop_.name; }

    std::string whyCannotApply() const override
    {
        // Asked before anything is opened: the schema, the same lookup
        // openSettings() makes.
        GPtr<GSettingsSchemaSource, unrefSource> own;
        GSettingsSchemaSource* source = g_settings_schema_source_get_default();
        if (!store_.schemaDir.empty()) {
            own.reset(g_settings_schema_source_new_from_directory(store_.schemaDir.c_str(), nullptr,
                                                                  FALSE, nullptr));
            source = own.p;
        }
        GSettingsSchema* schema =
            source != nullptr ? g_settings_schema_source_lookup(source, desktop_.schema, TRUE)
                              : nullptr;
        if (schema == nullptr)
            return std::string("The ") + desktop_.name + " wallpaper settings (" + desktop_.schema +
                   ") are not installed on this system, so Ombrix cannot set the wallpaper here.";
        g_settings_schema_unref(schema);
        return {};
    }

    WallpaperResult readCurrent() override
    {
        const WallpaperResult open = openSettings();
        if (!open.ok)
            return open;
        original_.file = read(desktop_.fileKey);
        original_.options = read(desktop_.optionsKey);
        haveDark_ =
            desktop_.darkKey != nullptr && g_settings_schema_has_key(schema_, desktop_.darkKey);
        if (haveDark_)
            original_.dark = read(desktop_.darkKey);
        // A key never set follows the desktop's default, also when a later
        // version changes it: Restore resets it rather than pin the value.
        atDefault_.clear();
        for (const char* key : {desktop_.fileKey, desktop_.darkKey, desktop_.optionsKey}) {
            if (key == nullptr || (key == desktop_.darkKey && !haveDark_))
                continue;
            GVariant* user = g_settings_get_user_value(settings_, key);
            if (user == nullptr)
                atDefault_.push_back(key);
            else
                g_variant_unref(user);
        }
        read_ = true;
        return WallpaperResult::success();
    }

    DesktopValues values() const override
    {
        DesktopValues v;
        if (!read_)
            return v;
        v.wallpaper = desktop_.uri ? uriPath(original_.file) : original_.file;
        if (v.wallpaper.empty() && desktop_.uri)
            v.wallpaper = original_.file; // a URI of no local file, kept as it is
        const std::string& o = original_.options;
        v.tile = o == "wallpaper" ? "1" : "0";
        v.style = o == "wallpaper" || o == "centered" ? "0" : o == "stretched" ? "2" : o;
        return v;
    }

    WallpaperResult apply(const std::string& file, Arrangement a) override
    {
        const WallpaperResult open = openSettings();
        if (!open.ok)
            return open;
        // GNOME draws small tiles enlarged: the tiles go composed at the
        // monitor's size, shown one to one.  Over monitors of different
        // sizes one composed picture would fit one of them only, so there
        // GNOME tiles.
        std::string why;
        if (a == Arrangement::Tile && std::string(desktop_.name) == "GNOME" && !monitors_.empty() &&
            monitorsAlike(monitors_)) {
            if (!composeInPlace(file, monitors_.front(), a, why))
                return WallpaperResult::failure(why);
            a = Arrangement::Stretch;
        }
        Values v;
        v.file = desktop_.uri ? fileUri(file) : file;
        v.dark = v.file;
        v.options = optionName(a);
        return write(v, {});
    }

    // One picture for all monitors: the whole layout, spread over them.
    MonitorPictures monitorPictures() const override { return MonitorPictures::Spanned; }

    WallpaperResult applySpanned(const std::string& file) override
    {
        const WallpaperResult open = openSettings();
        if (!open.ok)
            return open;
        Values v;
        v.file = desktop_.uri ? fileUri(file) : file;
        v.dark = v.file;
        v.options = "spanned";
        return write(v, {});
    }

    WallpaperResult restore() override
    {
        if (!read_)
            return WallpaperResult::failure("The " + desktopName() +
                                            " wallpaper found at start-up could not be read, so "
                                            "there is nothing to put back.");
        return write(original_, atDefault_);
    }

private:
    struct Values {
        std::string file, dark, options;
    };

    WallpaperResult openSettings()
    {
        if (settings_ != nullptr)
            return WallpaperResult::success();
        GPtr<GSettingsSchemaSource, unrefSource> own;
        GSettingsSchemaSource* source = g_settings_schema_source_get_default();
        if (!store_.schemaDir.empty()) {
            GError* error = nullptr;
            own.reset(g_settings_schema_source_new_from_directory(store_.schemaDir.c_str(), nullptr,
                                                                  FALSE, &error));
            if (error != nullptr)
                g_error_free(error);
            source = own.p;
        }
        // A schema that is not installed would end the program inside
        // g_settings_new, so it is looked up first.
        if (source != nullptr)
            schema_ = g_settings_schema_source_lookup(source, desktop_.schema, TRUE);
        if (schema_ == nullptr)
            return WallpaperResult::failure(
                std::string("The ") + desktop_.name + " wallpaper settings (" + desktop_.schema +
                ") are not installed on this system, so Ombrix cannot set the wallpaper here.");
        for (const char* key : {desktop_.fileKey, desktop_.optionsKey})
            if (!g_settings_schema_has_key(schema_, key))
                return WallpaperResult::failure(std::string("The ") + desktop_.name +
                                                " wallpaper settings lack the key \"" + key +
                                                "\"; Ombrix cannot set the wallpaper here.");
        if (!store_.keyfile.empty())
            backend_ = g_keyfile_settings_backend_new(store_.keyfile.c_str(), "/", nullptr);
        else
            backend_ =
                static_cast<GSettingsBackend*>(g_object_ref(g_settings_backend_get_default()));
        // Inside a sandbox GLib keeps settings in a private file: a write
        // there "succeeds" and the desktop outside never sees it.
        if (store_.keyfile.empty() && sandboxed() &&
            std::string(G_OBJECT_TYPE_NAME(backend_)) == "GKeyfileSettingsBackend")
            return WallpaperResult::failure(
                "Inside a sandbox (Flatpak or Snap) the " + std::string(desktop_.name) +
                " settings Ombrix sees are a private copy; the wallpaper is set through the "
                "desktop portal instead.");
        // GLib falls back to a store in memory when the desktop's is missing:
        // everything written there is gone when the program ends.
        if (std::string(G_OBJECT_TYPE_NAME(backend_)) == "GMemorySettingsBackend" ||
            std::string(G_OBJECT_TYPE_NAME(backend_)) == "GNullSettingsBackend")
            return WallpaperResult::failure(
                "This system has no store for desktop settings (dconf is not installed), so a "
                "wallpaper set now would be forgotten at once.");
        quietDconf();
        settings_ = g_settings_new_full(schema_, backend_, nullptr);
        return WallpaperResult::success();
    }

    std::string read(const char* key) const
    {
        gchar* s = g_settings_get_string(settings_, key);
        std::string out = s != nullptr ? s : "";
        g_free(s);
        return out;
    }

    bool set(const char* key, const std::string& value)
    {
        // An enum key takes only its own names; checked here, because a value
        // out of range is a programming error to GSettings, not a result.
        GSettingsSchemaKey* k = g_settings_schema_get_key(schema_, key);
        GVariant* v = g_variant_ref_sink(g_variant_new_string(value.c_str()));
        const bool inRange = g_settings_schema_key_range_check(k, v) != FALSE;
        g_settings_schema_key_unref(k);
        const bool ok = inRange && g_settings_set_value(settings_, key, v) != FALSE;
        g_variant_unref(v);
        return ok;
    }

    static bool contains(const std::vector<const char*>& keys, const char* key)
    {
        return std::find(keys.begin(), keys.end(), key) != keys.end();
    }

    // Writes the values, except that the keys in `reset` go back to their
    // defaults; then checks both read back.
    WallpaperResult write(const Values& v, const std::vector<const char*>& reset)
    {
        struct Entry {
            const char* key;
            const std::string* value;
        };
        std::vector<Entry> entries{{desktop_.fileKey, &v.file}, {desktop_.optionsKey, &v.options}};
        if (haveDark_ ||
            (desktop_.darkKey != nullptr && g_settings_schema_has_key(schema_, desktop_.darkKey)))
            entries.insert(entries.begin() + 1, {desktop_.darkKey, &v.dark});
        for (const char* key : reset)
            g_settings_reset(settings_, key);
        for (const Entry& e : entries)
            if (!contains(reset, e.key) && !set(e.key, *e.value))
                return WallpaperResult::failure(std::string("The ") + desktop_.name +
                                                " setting \"" + e.key + "\" refused the value \"" +
                                                *e.value + "\".");
        // dconf without a session bus says yes and stores nothing: only the
        // value read back after the writes have gone out tells.
        g_settings_sync();
        GSettings* fresh = g_settings_new_full(schema_, backend_, nullptr);
        std::string lost;
        for (const Entry& e : entries) {
            if (contains(reset, e.key)) {
                GVariant* user = g_settings_get_user_value(fresh, e.key);
                if (user != nullptr && lost.empty())
                    lost = e.key;
                if (user != nullptr)
                    g_variant_unref(user);
                continue;
            }
            gchar* s = g_settings_get_string(fresh, e.key);
            if (*e.value != s && lost.empty())
                lost = e.key;
            g_free(s);
        }
        g_object_unref(fresh);
        if (!lost.empty())
            return WallpaperResult::failure(
                std::string("The ") + desktop_.name +
                " desktop did not keep the new wallpaper (\"" + lost +
                "\" is unchanged). Its settings service may not be running: is this "
                "program started inside the desktop session?");
        return WallpaperResult::success();
    }

    GSettingsDesktop desktop_;
    GSettingsStore store_;
    std::vector<Monitor> monitors_;
    GSettingsSchema* schema_ = nullptr;
    GSettingsBackend* backend_ = nullptr;
    GSettings* settings_ = nullptr;
    Values original_;
    std::vector<const char*> atDefault_;
    bool haveDark_ = false;
    bool read_ = false;
};

} // namespace

std::unique_ptr<WallpaperBackend> makeGSettingsBackend(const GSettingsDesktop& desktop,
                                                       const GSettingsStore& store,
                                                       std::vector<Monitor> monitors)
{
    return std::make_unique<GSettingsWallpaper>(desktop, store, std::move(monitors));
}

} // namespace ombrix
