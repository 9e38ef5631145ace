#pragma once

#include <xcb/xcb.h>

#include <QImage>
#include <QRect>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

// The test's own look at the X display, as another client (a user's tools) would see it.
class TXDisplay {
  public:
    TXDisplay() {
        Connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(Connection)) {
            xcb_disconnect(Connection);
            Connection = nullptr;
            return;
        }
        Root = xcb_setup_roots_iterator(xcb_get_setup(Connection)).data->root;
    }
    ~TXDisplay() {
        if (Connection) {
            Sync();  // nothing sent may be lost when we disconnect
            xcb_disconnect(Connection);
        }
    }
    TXDisplay(const TXDisplay&) = delete;
    TXDisplay& operator=(const TXDisplay&) = delete;

    bool Open() const { return Connection != nullptr; }

    void Sync() {
        std::free(xcb_get_input_focus_reply(Connection, xcb_get_input_focus(Connection), nullptr));
    }

    xcb_atom_t Atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(
            Connection,
            xcb_intern_atom(Connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return atom;
    }

    // Top-level windows whose WM_NAME is `name`.
    std::vector<xcb_window_t> FindWindows(const std::string& name) {
        std::vector<xcb_window_t> found;
        auto* tree = xcb_query_tree_reply(Connection, xcb_query_tree(Connection, Root), nullptr);
        if (!tree) {
            return found;
        }
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            if (Property(children[i], XCB_ATOM_WM_NAME) == name) {
                found.push_back(children[i]);
            }
        }
        std::free(tree);
        return found;
    }

    std::string Property(xcb_window_t window, xcb_atom_t property) {
        auto* reply = xcb_get_property_reply(
            Connection,
            xcb_get_property(Connection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
            nullptr);
        std::string value;
        if (reply) {
            value.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                         static_cast<std::size_t>(xcb_get_property_value_length(reply)));
            std::free(reply);
        }
        return value;
    }

    std::vector<std::uint32_t> Property32(xcb_window_t window, xcb_atom_t property) {
        const std::string raw = Property(window, property);
        std::vector<std::uint32_t> values(raw.size() / 4);
        std::memcpy(values.data(), raw.data(), values.size() * 4);
        return values;
    }

    QRect Geometry(xcb_window_t window) {
        auto* reply =
            xcb_get_geometry_reply(Connection, xcb_get_geometry(Connection, window), nullptr);
        if (!reply) {
            return {};
        }
        const QRect rect(reply->x, reply->y, reply->width, reply->height);
        std::free(reply);
        return rect;
    }

    bool Viewable(xcb_window_t window) {
        auto* reply = xcb_get_window_attributes_reply(
            Connection, xcb_get_window_attributes(Connection, window), nullptr);
        const bool viewable = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(reply);
        return viewable;
    }

    xcb_window_t Focus() {
        auto* reply =
            xcb_get_input_focus_reply(Connection, xcb_get_input_focus(Connection), nullptr);
        const xcb_window_t focus = reply ? reply->focus : xcb_window_t{XCB_NONE};
        std::free(reply);
        return focus;
    }

    // What the window shows now (depth 24 displays: 32 bits a pixel, as RGB32).
    QImage Capture(xcb_window_t window) {
        const QRect rect = Geometry(window);
        auto* reply =
            xcb_get_image_reply(Connection,
                                xcb_get_image(Connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                              static_cast<std::uint16_t>(rect.width()),
                                              static_cast<std::uint16_t>(rect.height()), ~0u),
                                nullptr);
        if (!reply) {
            return {};
        }
        const QImage image =
            QImage(xcb_get_image_data(reply), rect.width(), rect.height(), QImage::Format_RGB32)
                .copy();
        std::free(reply);
        return image;
    }

    // The close request a window manager sends (Alt+F4, the close box).
    void SendDeleteWindow(xcb_window_t window) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = Atom("WM_PROTOCOLS");
        event.data.data32[0] = Atom("WM_DELETE_WINDOW");
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(Connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&event));
        Sync();
    }

    xcb_connection_t* Connection = nullptr;
    xcb_window_t Root = 0;
};
