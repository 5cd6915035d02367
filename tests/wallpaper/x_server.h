// SPDX-License-Identifier: GPL-3.0-or-later
// A test's own connection to an X server: atoms, the root's wallpaper
// properties, pixmaps and the pixels of a drawable, read back as they are.
#pragma once

#include <QImage>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace ombrix::test
{

template <class R> std::unique_ptr<R, void (*)(void*)> owned(R* r)
{
    return {r, std::free};
}

struct X {
    xcb_connection_t* c;
    xcb_screen_t* s;
    explicit X(const char* display)
        : c(xcb_connect(display, nullptr)), s(xcb_setup_roots_iterator(xcb_get_setup(c)).data)
    {
    }
    ~X()
    {
        sync();
        xcb_disconnect(c);
    }
    void sync() const { owned(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }
    xcb_atom_t atom(const char* name) const
    {
        const auto n = static_cast<uint16_t>(std::strlen(name));
        return owned(xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, n, name), nullptr))->atom;
    }
    xcb_pixmap_t property(const char* name) const
    {
        auto r = owned(xcb_get_property_reply(
            c, xcb_get_property(c, 0, s->root, atom(name), XCB_ATOM_PIXMAP, 0, 1), nullptr));
        return xcb_get_property_value_length(r.get()) == 4
                   ? *static_cast<xcb_pixmap_t*>(xcb_get_property_value(r.get()))
                   : 0;
    }
    void publish(xcb_pixmap_t id) const
    {
        for (const char* name : {"_XROOTPMAP_ID", "ESETROOT_PMAP_ID"})
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, s->root, atom(name), XCB_ATOM_PIXMAP, 32,
                                1, &id);
        sync();
    }
    bool alive(xcb_drawable_t id) const
    {
        xcb_generic_error_t* e = nullptr;
        auto g = owned(xcb_get_geometry_reply(c, xcb_get_geometry(c, id), &e));
        std::free(e);
        return g != nullptr;
    }
    // A pixmap of one colour, owned by this connection.
    xcb_pixmap_t filled(uint16_t w, uint16_t h, uint32_t colour) const
    {
        const xcb_pixmap_t p = xcb_generate_id(c);
        const xcb_gcontext_t gc = xcb_generate_id(c);
        xcb_create_pixmap(c, s->root_depth, p, s->root, w, h);
        xcb_create_gc(c, gc, p, XCB_GC_FOREGROUND, &colour);
        const xcb_rectangle_t all{0, 0, w, h};
        xcb_poly_fill_rectangle(c, p, gc, 1, &all);
        return p;
    }
    QImage root() const { return pixels(s->root); }
    QImage pixels(xcb_drawable_t id) const
    {
        const uint16_t w = s->width_in_pixels, h = s->height_in_pixels;
        auto r = owned(xcb_get_image_reply(
            c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, id, 0, 0, w, h, ~0u), nullptr));
        return r ? QImage(xcb_get_image_data(r.get()), w, h, QImage::Format_RGB32).copy()
                 : QImage();
    }
};

} // namespace ombrix::test
