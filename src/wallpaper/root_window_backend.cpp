// SPDX-License-Identifier: GPL-3.0-or-later
// Any other X11 session: the wallpaper is the root window's background, a
// pixmap that must outlive the program.  It is made on a connection of its
// own whose resources the server keeps after it closes (RetainPermanent),
// and published in the two atoms through which root setters and
// pseudo-transparent programs find it.  X errors come back as replies and
// are handled here; nothing is freed on a guess.
#include "wallpaper/backends.h"

#include <QImageReader>
#include <QPainter>

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace ombrix
{

// The wallpaper file as written a moment ago.  Qt refuses to read images
// above its allocation limit (128 MB: about 32 megapixels), yet a root
// window may be as large as X allows, 16384 pixels a side at 4 bytes each;
// the limit is raised for this one read, whose file this program wrote.
QImage readWallpaperFile(const std::string& file)
{
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(std::max(limit, 16384 * 16384 * 4 / (1024 * 1024) + 64));
    QImage picture = QImageReader(QString::fromLocal8Bit(file.c_str())).read();
    QImageReader::setAllocationLimit(limit);
    return picture;
}

QImage composeRootPicture(const QImage& picture, int width, int height, Arrangement a)
{
    QImage out(width, height, QImage::Format_RGB32);
    if (out.isNull() || picture.isNull())
        return QImage();
    out.fill(Qt::black);
    QPainter g(&out);
    switch (a) {
    case Arrangement::Tile:
        for (int y = 0; y < height; y += picture.height())
            for (int x = 0; x < width; x += picture.width())
                g.drawImage(x, y, picture);
        break;
    case Arrangement::Center:
        g.drawImage((width - picture.width()) / 2, (height - picture.height()) / 2, picture);
        break;
    case Arrangement::Stretch:
        g.setRenderHint(QPainter::SmoothPixmapTransform);
        g.drawImage(out.rect(), picture);
        break;
    }
    return out;
}

namespace
{

template <class T> struct Reply {
    T* r = nullptr;
    explicit Reply(T* p) : r(p) {}
    Reply(const Reply&) = delete;
    Reply& operator=(const Reply&) = delete;
    ~Reply() { std::free(r); }
    T* operator->() const { return r; }
    explicit operator bool() const { return r != nullptr; }
};

// One connection to the X server, closed when it goes out of scope.
class XConnection
{
public:
    explicit XConnection(const std::string& display)
    {
        c_ = xcb_connect(display.empty() ? nullptr : display.c_str(), &screenNumber_);
        if (xcb_connection_has_error(c_) != 0)
            return;
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c_));
        for (int i = 0; i < screenNumber_ && it.rem > 0; ++i)
            xcb_screen_next(&it);
        if (it.rem > 0)
            screen_ = it.data;
    }
    ~XConnection()
    {
        // Whatever is still queued reaches the server before the close.
        if (xcb_connection_has_error(c_) == 0)
            std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
        xcb_disconnect(c_);
    }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    bool ok() const { return screen_ != nullptr && xcb_connection_has_error(c_) == 0; }
    xcb_connection_t* c() const { return c_; }
    xcb_screen_t* screen() const { return screen_; }
    xcb_window_t root() const { return screen_->root; }

    xcb_atom_t atom(const char* name) const
    {
        Reply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(
            c_, xcb_intern_atom(c_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
        return r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    // The pixmap id a root property names, or 0.
    xcb_pixmap_t rootPixmap(xcb_atom_t property) const
    {
        Reply<xcb_get_property_reply_t> r(xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, root(), property, XCB_ATOM_PIXMAP, 0, 1), nullptr));
        if (!r || r->type != XCB_ATOM_PIXMAP || r->format != 32 ||
            xcb_get_property_value_length(r.r) < 4)
            return 0;
        return *static_cast<xcb_pixmap_t*>(xcb_get_property_value(r.r));
    }

    // True when `id` is a live pixmap (not a window) of the root's size and
    // depth: only such an id is taken for a root setter's wallpaper.  A stale
    // id may since belong to any program, which freeing it would kill.
    bool rootSizedPixmap(xcb_pixmap_t id) const
    {
        if (id == 0)
            return false;
        xcb_generic_error_t* error = nullptr;
        Reply<xcb_get_window_attributes_reply_t> window(
            xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, id), &error));
        std::free(error);
        if (window)
            return false;
        error = nullptr;
        Reply<xcb_get_geometry_reply_t> g(
            xcb_get_geometry_reply(c_, xcb_get_geometry(c_, id), &error));
        std::free(error);
        return g && g->root == root() && g->width == screen_->width_in_pixels &&
               g->height == screen_->height_in_pixels && g->depth == screen_->root_depth;
    }

    // The pixels of a root-sized pixmap as 32-bit words, or nothing.
    bool readPixmap(xcb_pixmap_t id, std::vector<uint32_t>& pixels) const
    {
        const int w = screen_->width_in_pixels, h = screen_->height_in_pixels;
        pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
        const int rowsPerChunk = std::max(1, rowsPerRequest());
        for (int y = 0; y < h; y += rowsPerChunk) {
            const int rows = std::min(rowsPerChunk, h - y);
            xcb_generic_error_t* error = nullptr;
            Reply<xcb_get_image_reply_t> img(xcb_get_image_reply(
                c_,
                xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, id, 0, static_cast<int16_t>(y),
                              static_cast<uint16_t>(w), static_cast<uint16_t>(rows), ~0u),
                &error));
            std::free(error);
            const size_t bytes = static_cast<size_t>(w) * static_cast<size_t>(rows) * 4;
            if (!img || static_cast<size_t>(xcb_get_image_data_length(img.r)) < bytes)
                return false;
            std::memcpy(pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w),
                        xcb_get_image_data(img.r), bytes);
        }
        return true;
    }

    // A new pixmap holding `pixels` (32-bit words, the root's size).
    xcb_pixmap_t makePixmap(const uint32_t* pixels) const
    {
        const uint16_t w = screen_->width_in_pixels, h = screen_->height_in_pixels;
        const xcb_pixmap_t p = xcb_generate_id(c_);
        xcb_create_pixmap(c_, screen_->root_depth, p, root(), w, h);
        const xcb_gcontext_t gc = xcb_generate_id(c_);
        xcb_create_gc(c_, gc, p, 0, nullptr);
        const int rowsPerChunk = std::max(1, rowsPerRequest());
        for (int y = 0; y < h; y += rowsPerChunk) {
            const int rows = std::min(rowsPerChunk, h - y);
            xcb_put_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, p, gc, w, static_cast<uint16_t>(rows), 0,
                          static_cast<int16_t>(y), 0, screen_->root_depth,
                          static_cast<uint32_t>(w) * static_cast<uint32_t>(rows) * 4,
                          reinterpret_cast<const uint8_t*>(pixels + static_cast<size_t>(y) * w));
        }
        xcb_free_gc(c_, gc);
        return p;
    }

    // Checked: the reply says whether the server took the request.
    bool checked(xcb_void_cookie_t cookie) const
    {
        xcb_generic_error_t* error = xcb_request_check(c_, cookie);
        std::free(error);
        return error == nullptr;
    }

private:
    int rowsPerRequest() const
    {
        // The longest request, less room for its header, in whole rows.
        const uint64_t maxBytes = static_cast<uint64_t>(xcb_get_maximum_request_length(c_)) * 4;
        return static_cast<int>((maxBytes - 64) / (uint64_t{screen_->width_in_pixels} * 4));
    }

    xcb_connection_t* c_ = nullptr;
    int screenNumber_ = 0;
    xcb_screen_t* screen_ = nullptr;
};

// A string property of a window (WM_CLASS holds two, NUL-separated).
std::string stringProperty(const XConnection& x, xcb_window_t w, xcb_atom_t property)
{
    Reply<xcb_get_property_reply_t> r(xcb_get_property_reply(
        x.c(), xcb_get_property(x.c(), 0, w, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
        nullptr));
    if (!r || r->format != 8)
        return {};
    return std::string(static_cast<const char*>(xcb_get_property_value(r.r)),
                       static_cast<size_t>(xcb_get_property_value_length(r.r)));
}

bool hasAtom(const XConnection& x, xcb_window_t w, xcb_atom_t property, xcb_atom_t wanted)
{
    Reply<xcb_get_property_reply_t> r(xcb_get_property_reply(
        x.c(), xcb_get_property(x.c(), 0, w, property, XCB_ATOM_ATOM, 0, 32), nullptr));
    if (!r || r->format != 32)
        return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(r.r));
    const int n = xcb_get_property_value_length(r.r) / 4;
    return std::find(atoms, atoms + n, wanted) != atoms + n;
}

// The program whose desktop window (pcmanfm, pcmanfm-qt, caja, nemo,
// xfdesktop map one) lies over the root, hiding its background; empty when
// none does.  Window managers put client windows into frames of their own,
// so the root's children and their children are looked at.
std::string desktopWindowOwner(const XConnection& x)
{
    const xcb_atom_t type = x.atom("_NET_WM_WINDOW_TYPE");
    const xcb_atom_t desktop = x.atom("_NET_WM_WINDOW_TYPE_DESKTOP");
    if (type == XCB_ATOM_NONE || desktop == XCB_ATOM_NONE)
        return {};
    auto children = [&](xcb_window_t w) {
        std::vector<xcb_window_t> out;
        Reply<xcb_query_tree_reply_t> t(
            xcb_query_tree_reply(x.c(), xcb_query_tree(x.c(), w), nullptr));
        if (t)
            out.assign(xcb_query_tree_children(t.r),
                       xcb_query_tree_children(t.r) + xcb_query_tree_children_length(t.r));
        return out;
    };
    auto viewable = [&](xcb_window_t w) {
        Reply<xcb_get_window_attributes_reply_t> a(
            xcb_get_window_attributes_reply(x.c(), xcb_get_window_attributes(x.c(), w), nullptr));
        return a && a->map_state == XCB_MAP_STATE_VIEWABLE;
    };
    for (const xcb_window_t top : children(x.root())) {
        if (!viewable(top))
            continue;
        std::vector<xcb_window_t> candidates{top};
        for (const xcb_window_t c : children(top))
            candidates.push_back(c);
        for (const xcb_window_t w : candidates) {
            if (!viewable(w) || !hasAtom(x, w, type, desktop))
                continue;
            // WM_CLASS: the instance, a NUL, the class.
            const std::string cls = stringProperty(x, w, XCB_ATOM_WM_CLASS);
            const std::string instance = cls.substr(0, cls.find('\0'));
            if (!instance.empty())
                return instance;
            const std::string name = stringProperty(x, w, x.atom("_NET_WM_NAME"));
            return name.empty() ? std::string("a desktop program") : name;
        }
    }
    return {};
}

// Only 24- and 32-bit screens whose pixels are 32-bit words in the byte
// order of this machine: every X server of today.
bool plainTrueColour(const XConnection& x)
{
    if (x.screen()->root_depth != 24 && x.screen()->root_depth != 32)
        return false;
    const xcb_setup_t* setup = xcb_get_setup(x.c());
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
        return false;
    xcb_format_iterator_t f = xcb_setup_pixmap_formats_iterator(setup);
    for (; f.rem > 0; xcb_format_next(&f))
        if (f.data->depth == x.screen()->root_depth)
            return f.data->bits_per_pixel == 32;
    return false;
}

class RootWindowWallpaper final : public WallpaperBackend
{
public:
    explicit RootWindowWallpaper(std::string display) : display_(std::move(display)) {}

    std::string desktopName() const override { return "the X root window"; }

    std::string whyCannotApply() const override
    {
        XConnection x(display_);
        if (!x.ok())
            return cannotConnect();
        return hiddenBy(desktopWindowOwner(x));
    }

    MonitorPictures monitorPictures() const override { return MonitorPictures::Each; }

    WallpaperResult applyEach(const std::vector<MonitorFile>& files) override
    {
        XConnection x(display_);
        if (!x.ok())
            return WallpaperResult::failure(cannotConnect());
        QImage composed(x.screen()->width_in_pixels, x.screen()->height_in_pixels,
                        QImage::Format_RGB32);
        if (composed.isNull())
            return WallpaperResult::failure("There is not enough memory for a wallpaper the "
                                            "size of the screen.");
        composed.fill(Qt::black);
        QPainter g(&composed);
        g.setRenderHint(QPainter::SmoothPixmapTransform);
        for (const MonitorFile& f : files) {
            const QImage picture = readWallpaperFile(f.file);
            if (picture.isNull())
                return WallpaperResult::failure("The wallpaper file \"" + f.file +
                                                "\" could not be read back.");
            // Drawn at the monitor's size, it lands one to one.
            g.drawImage(QRect(f.monitor.x, f.monitor.y, f.monitor.width, f.monitor.height),
                        picture);
        }
        g.end();
        return showComposed(x, composed);
    }

    WallpaperResult readCurrent() override
    {
        XConnection x(display_);
        if (!x.ok())
            return WallpaperResult::failure(cannotConnect());
        // There is no file behind a root wallpaper: its pixels are what
        // Restore puts back.
        const xcb_pixmap_t id = x.rootPixmap(x.atom("_XROOTPMAP_ID"));
        original_.clear();
        if (x.rootSizedPixmap(id) && plainTrueColour(x))
            x.readPixmap(id, original_);
        read_ = true;
        return WallpaperResult::success();
    }

    DesktopValues values() const override
    {
        DesktopValues v;
        if (read_)
            v.wallpaper = ""; // a picture, not a file
        return v;
    }

    WallpaperResult apply(const std::string& file, Arrangement a) override
    {
        const QImage picture = readWallpaperFile(file);
        if (picture.isNull())
            return WallpaperResult::failure("The wallpaper file \"" + file +
                                            "\" could not be read back.");
        XConnection x(display_);
        if (!x.ok())
            return WallpaperResult::failure(cannotConnect());
        const QImage composed = composeRootPicture(picture, x.screen()->width_in_pixels,
                                                   x.screen()->height_in_pixels, a);
        if (composed.isNull())
            return WallpaperResult::failure("There is not enough memory for a wallpaper the "
                                            "size of the screen.");
        return showComposed(x, composed);
    }

    WallpaperResult restore() override
    {
        if (!read_)
            return WallpaperResult::failure("The root window could not be read at start-up, so "
                                            "there is nothing to put back.");
        if (!original_.empty())
            return show(original_.data());
        // There was no wallpaper: the root goes back to no background.
        XConnection x(display_);
        if (!x.ok())
            return WallpaperResult::failure(cannotConnect());
        const xcb_atom_t atoms[] = {x.atom("_XROOTPMAP_ID"), x.atom("ESETROOT_PMAP_ID")};
        const xcb_pixmap_t current = x.rootPixmap(atoms[0]);
        const uint32_t none = XCB_BACK_PIXMAP_NONE;
        xcb_change_window_attributes(x.c(), x.root(), XCB_CW_BACK_PIXMAP, &none);
        xcb_clear_area(x.c(), 0, x.root(), 0, 0, 0, 0);
        for (xcb_atom_t atom : atoms)
            xcb_delete_property(x.c(), x.root(), atom);
        // Only the program's own retained pixmap is freed.
        if (current != 0 && current == last_ && x.rootSizedPixmap(current))
            xcb_kill_client(x.c(), current);
        last_ = 0;
        xcb_aux_sync(x);
        return x.rootPixmap(atoms[0]) == 0
                   ? WallpaperResult::success()
                   : WallpaperResult::failure("The X server kept the old root wallpaper.");
    }

private:
    static void xcb_aux_sync(const XConnection& x)
    {
        std::free(xcb_get_input_focus_reply(x.c(), xcb_get_input_focus(x.c()), nullptr));
    }

    std::string cannotConnect() const
    {
        return "The X display \"" + display_ +
               "\" cannot be reached, so the wallpaper cannot be set.";
    }

    // A desktop window over the root hides whatever the root shows: setting
    // it anyway would report a success the user never sees.
    static std::string hiddenBy(const std::string& owner)
    {
        if (owner.empty())
            return {};
        return "The desktop window of \"" + owner +
               "\" covers the X root window, so a wallpaper set there would not show. Set the "
               "wallpaper in that desktop's own settings, or start Ombrix in that desktop's "
               "session (XDG_CURRENT_DESKTOP names it).";
    }

    WallpaperResult showComposed(const XConnection& x, const QImage& composed)
    {
        if (!plainTrueColour(x))
            return WallpaperResult::failure(unsupportedDepth());
        const std::string hidden = hiddenBy(desktopWindowOwner(x));
        if (!hidden.empty())
            return WallpaperResult::failure(hidden);
        // RGB32 rows are whole 32-bit words with no padding, so the picture's
        // own pixels go up in strips of rows, without a second screen-sized
        // copy (1 GB at 16384 x 16384).
        if (composed.format() != QImage::Format_RGB32 ||
            composed.bytesPerLine() != qsizetype{composed.width()} * 4)
            return WallpaperResult::failure("The wallpaper picture is not in the expected "
                                            "pixel format.");
        return show(reinterpret_cast<const uint32_t*>(composed.constBits()));
    }

    static std::string unsupportedDepth()
    {
        return "This X screen's colour depth is not supported for wallpapers (24 or 32 bits "
               "are).";
    }

    // The pixels made the root's background, retained past this program,
    // published in both atoms; the previous setter's pixmap freed when it
    // is safe to.
    WallpaperResult show(const uint32_t* pixels)
    {
        XConnection x(display_);
        if (!x.ok())
            return WallpaperResult::failure(cannotConnect());
        const xcb_atom_t atoms[] = {x.atom("_XROOTPMAP_ID"), x.atom("ESETROOT_PMAP_ID")};
        const xcb_pixmap_t previous = x.rootPixmap(atoms[0]);
        const xcb_pixmap_t previousE = x.rootPixmap(atoms[1]);
        const bool freePrevious = x.rootSizedPixmap(previous);
        const xcb_pixmap_t p = x.makePixmap(pixels);
        if (!x.checked(
                xcb_change_window_attributes_checked(x.c(), x.root(), XCB_CW_BACK_PIXMAP, &p)))
            return WallpaperResult::failure("The X server refused the new root background.");
        xcb_clear_area(x.c(), 0, x.root(), 0, 0, 0, 0);
        // The same setter's pixmap under both atoms is freed once; two
        // different ids are two setters, each checked on its own.
        if (freePrevious)
            xcb_kill_client(x.c(), previous);
        if (previousE != previous && x.rootSizedPixmap(previousE))
            xcb_kill_client(x.c(), previousE);
        // Our own last pixmap, when another program has since taken the
        // atoms: still ours while it is a root-sized pixmap.
        if (last_ != previous && last_ != previousE && x.rootSizedPixmap(last_))
            xcb_kill_client(x.c(), last_);
        for (xcb_atom_t atom : atoms)
            xcb_change_property(x.c(), XCB_PROP_MODE_REPLACE, x.root(), atom, XCB_ATOM_PIXMAP, 32,
                                1, &p);
        xcb_set_close_down_mode(x.c(), XCB_CLOSE_DOWN_RETAIN_PERMANENT);
        xcb_aux_sync(x);
        if (x.rootPixmap(atoms[0]) != p || x.rootPixmap(atoms[1]) != p)
            return WallpaperResult::failure("The X server did not keep the new root wallpaper.");
        last_ = p;
        return WallpaperResult::success();
    }

    std::string display_;
    std::vector<uint32_t> original_;
    xcb_pixmap_t last_ = 0;
    bool read_ = false;
};

} // namespace

bool xDisplayReachable(const std::string& display)
{
    if (display.empty())
        return false;
    return XConnection(display).ok();
}

MonitorList listXMonitors(const std::string& display)
{
    MonitorList list;
    XConnection x(display);
    if (!x.ok()) {
        list.why = "The X display \"" + display + "\" cannot be reached.";
        return list;
    }
    Reply<xcb_randr_query_version_reply_t> version(
        xcb_randr_query_version_reply(x.c(), xcb_randr_query_version(x.c(), 1, 5), nullptr));
    if (version && (version->major_version > 1 ||
                    (version->major_version == 1 && version->minor_version >= 5))) {
        Reply<xcb_randr_get_monitors_reply_t> r(xcb_randr_get_monitors_reply(
            x.c(), xcb_randr_get_monitors(x.c(), x.root(), 1), nullptr));
        if (r)
            for (auto it = xcb_randr_get_monitors_monitors_iterator(r.r); it.rem > 0;
                 xcb_randr_monitor_info_next(&it)) {
                const xcb_randr_monitor_info_t* m = it.data;
                Reply<xcb_get_atom_name_reply_t> name(
                    xcb_get_atom_name_reply(x.c(), xcb_get_atom_name(x.c(), m->name), nullptr));
                Monitor out;
                if (name)
                    out.name.assign(xcb_get_atom_name_name(name.r),
                                    static_cast<size_t>(xcb_get_atom_name_name_length(name.r)));
                out.x = m->x;
                out.y = m->y;
                out.width = m->width;
                out.height = m->height;
                out.primary = m->primary != 0;
                list.monitors.push_back(out);
            }
    }
    // Without RandR 1.5 the whole screen is the one monitor.
    if (list.monitors.empty()) {
        Monitor whole;
        whole.name = "screen";
        whole.width = x.screen()->width_in_pixels;
        whole.height = x.screen()->height_in_pixels;
        whole.primary = true;
        list.monitors.push_back(whole);
    }
    return list;
}

std::unique_ptr<WallpaperBackend> makeRootWindowBackend(const std::string& display)
{
    return std::make_unique<RootWindowWallpaper>(display);
}

} // namespace ombrix
