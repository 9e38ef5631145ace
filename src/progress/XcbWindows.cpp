// The X backend of the viewer's window layer: one xcb connection per viewer thread, separate
// from Qt's, so the window stays painted while the GUI thread is blocked.

#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <QImage>

#include "progress/ViewerPainter.h"
#include "progress/ViewerWindow.h"

namespace {

// ICCCM and Motif property layouts.
constexpr std::uint32_t kMotifHintsDecorations = 2;
constexpr std::uint32_t kWmHintsInput = 1;
constexpr std::uint32_t kSizeUSPosition = 1;
constexpr std::uint32_t kSizeUSSize = 2;
constexpr std::uint32_t kSizePPosition = 4;
constexpr std::uint32_t kSizePSize = 8;
constexpr std::uint32_t kSizePMinSize = 16;
constexpr std::uint32_t kSizePMaxSize = 32;
constexpr int kConnectAttempts = 10;
// The fixed part of a PutImage request.
constexpr std::uint32_t kPutImageHeader = 24;

enum TAtom {
    atomMotifHints,
    atomNetWmState,
    atomStateAbove,
    atomStateSkipTaskbar,
    atomStateSkipPager,
    atomWmProtocols,
    atomWmDeleteWindow,
    atomNetWorkarea,
    atomCount
};

constexpr const char* kAtomNames[atomCount] = {
    "_MOTIF_WM_HINTS",          "_NET_WM_STATE",
    "_NET_WM_STATE_ABOVE",      "_NET_WM_STATE_SKIP_TASKBAR",
    "_NET_WM_STATE_SKIP_PAGER", "WM_PROTOCOLS",
    "WM_DELETE_WINDOW",         "_NET_WORKAREA",
};

// What the frames must be converted to for the screen's pixel layout.
struct TPixelFormat {
    QImage::Format Format = QImage::Format_Invalid;
    std::uint8_t Depth = 0;
    std::uint32_t Face = 0;  // the button-face colour as a pixel
};

// Only true-colour layouts whose bytes a QImage can hold unchanged on a little-endian host.
TPixelFormat FindPixelFormat(const xcb_setup_t* setup, const xcb_screen_t* screen) {
    TPixelFormat none;
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) {
        return none;
    }
    int bitsPerPixel = 0;
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem;
         xcb_format_next(&formats)) {
        if (formats.data->depth == screen->root_depth) {
            if (formats.data->scanline_pad != 32) {
                return none;
            }
            bitsPerPixel = formats.data->bits_per_pixel;
        }
    }
    const xcb_visualtype_t* visual = nullptr;
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem && !visual;
         xcb_depth_next(&depths)) {
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
             xcb_visualtype_next(&visuals)) {
            if (visuals.data->visual_id == screen->root_visual) {
                visual = visuals.data;
                break;
            }
        }
    }
    if (!visual || visual->_class != XCB_VISUAL_CLASS_TRUE_COLOR) {
        return none;
    }
    const auto masks = std::array{visual->red_mask, visual->green_mask, visual->blue_mask};
    if (bitsPerPixel == 32 && masks == std::array<std::uint32_t, 3>{0xFF0000, 0xFF00, 0xFF}) {
        return {QImage::Format_RGB32, screen->root_depth, 0xF0F0F0};
    }
    if (bitsPerPixel == 16 && masks == std::array<std::uint32_t, 3>{0xF800, 0x07E0, 0x001F}) {
        return {QImage::Format_RGB16, screen->root_depth,
                (0xF0u >> 3 << 11) | (0xF0u >> 2 << 5) | (0xF0u >> 3)};
    }
    return none;
}

void SetProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                 std::uint8_t format, std::uint32_t count, const void* data) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, type, format, count, data);
}

class TXcbWindowSystem;

class TXcbWindow : public IViewerWindow {
  public:
    TXcbWindow(TXcbWindowSystem& system, xcb_window_t window, xcb_gcontext_t gc)
        : System(system), Id(window), Gc(gc) {}
    ~TXcbWindow() override;

    TViewerWindowHandle Handle() const override { return Id; }
    void Place(int left, int top, int width, int height) override;
    void Present(const TFramePixels& frame) override;
    bool NextEvent(TWindowEvent& event) override;
    void Hide() override;

  private:
    void GiveFocusBack();

    TXcbWindowSystem& System;
    xcb_window_t Id;
    xcb_gcontext_t Gc;
    QImage Converted;
    // The window that had the keyboard before this one took it, and whether it did take it.
    xcb_window_t PreviousFocus = XCB_NONE;
    bool TookFocus = false;
};

class TXcbWindowSystem : public IViewerWindowSystem {
  public:
    TXcbWindowSystem(xcb_connection_t* c, xcb_screen_t* screen, TPixelFormat format)
        : Connection(c), Screen(screen), Format(format), Symbols(xcb_key_symbols_alloc(c)) {
        xcb_intern_atom_cookie_t cookies[atomCount];
        for (int i = 0; i < atomCount; ++i) {
            cookies[i] = xcb_intern_atom(
                c, 0, static_cast<std::uint16_t>(std::strlen(kAtomNames[i])), kAtomNames[i]);
        }
        for (int i = 0; i < atomCount; ++i) {
            xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookies[i], nullptr);
            Atoms[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
            std::free(reply);
        }
    }

    ~TXcbWindowSystem() override {
        // A round trip first: requests still in flight (the unmap) would otherwise be lost.
        std::free(xcb_get_input_focus_reply(Connection, xcb_get_input_focus(Connection), nullptr));
        if (Symbols) {
            xcb_key_symbols_free(Symbols);
        }
        xcb_disconnect(Connection);
    }

    TWorkArea WorkArea() override {
        TWorkArea area{0, 0, Screen->width_in_pixels, Screen->height_in_pixels};
        if (Atoms[atomNetWorkarea] == XCB_ATOM_NONE) {
            return area;
        }
        const auto cookie = xcb_get_property(Connection, 0, Screen->root, Atoms[atomNetWorkarea],
                                             XCB_ATOM_CARDINAL, 0, 4);
        xcb_get_property_reply_t* reply = xcb_get_property_reply(Connection, cookie, nullptr);
        if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= 16) {
            const auto* value = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
            area = {static_cast<int>(value[0]), static_cast<int>(value[1]),
                    static_cast<int>(value[0] + value[2]), static_cast<int>(value[1] + value[3])};
        }
        std::free(reply);
        return area;
    }

    std::unique_ptr<IViewerWindow> CreateViewerWindow(const std::string& title, int left, int top,
                                                      int width, int height) override {
        xcb_connection_t* c = Connection;
        const xcb_window_t window = xcb_generate_id(c);
        const std::uint32_t values[] = {
            Format.Face,
            XCB_GRAVITY_NORTH_WEST,  // a resize keeps the picture instead of clearing it
            XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_BUTTON_PRESS |
                XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_FOCUS_CHANGE,
        };
        const xcb_void_cookie_t created = xcb_create_window_checked(
            c, Format.Depth, window, Screen->root, static_cast<std::int16_t>(left),
            static_cast<std::int16_t>(top), static_cast<std::uint16_t>(width),
            static_cast<std::uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
            Screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_BIT_GRAVITY | XCB_CW_EVENT_MASK,
            values);
        if (xcb_generic_error_t* error = xcb_request_check(c, created)) {
            std::free(error);
            return nullptr;
        }
        SetProperty(c, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                    static_cast<std::uint32_t>(title.size()), title.data());
        static const char kClass[] = "ProgressWnd\0ProgressViewerFormClass";
        SetProperty(c, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, sizeof kClass, kClass);
        const std::uint32_t motif[5] = {kMotifHintsDecorations, 0, 0, 0, 0};
        SetProperty(c, window, Atoms[atomMotifHints], Atoms[atomMotifHints], 32, 5, motif);
        const xcb_atom_t state[3] = {Atoms[atomStateAbove], Atoms[atomStateSkipTaskbar],
                                     Atoms[atomStateSkipPager]};
        SetProperty(c, window, Atoms[atomNetWmState], XCB_ATOM_ATOM, 32, 3, state);
        const xcb_atom_t protocols[1] = {Atoms[atomWmDeleteWindow]};
        SetProperty(c, window, Atoms[atomWmProtocols], XCB_ATOM_ATOM, 32, 1, protocols);
        const std::uint32_t hints[9] = {kWmHintsInput, 1, 0, 0, 0, 0, 0, 0, 0};
        SetProperty(c, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, 9, hints);
        SetSizeHints(window, left, top, width, height);

        const xcb_gcontext_t gc = xcb_generate_id(c);
        xcb_create_gc(c, gc, window, 0, nullptr);
        xcb_map_window(c, window);
        const std::uint32_t above[] = {XCB_STACK_MODE_ABOVE};
        xcb_configure_window(c, window, XCB_CONFIG_WINDOW_STACK_MODE, above);
        xcb_flush(c);
        return std::make_unique<TXcbWindow>(*this, window, gc);
    }

    // Fixed size (min = max) at a program-chosen place.
    void SetSizeHints(xcb_window_t window, int left, int top, int width, int height) {
        std::uint32_t size[18] = {};
        size[0] = kSizeUSPosition | kSizeUSSize | kSizePPosition | kSizePSize | kSizePMinSize |
                  kSizePMaxSize;
        size[1] = static_cast<std::uint32_t>(left);
        size[2] = static_cast<std::uint32_t>(top);
        size[3] = size[5] = size[7] = static_cast<std::uint32_t>(width);
        size[4] = size[6] = size[8] = static_cast<std::uint32_t>(height);
        SetProperty(Connection, window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, 18,
                    size);
    }

    xcb_connection_t* Connection;
    xcb_screen_t* Screen;
    TPixelFormat Format;
    xcb_key_symbols_t* Symbols;
    xcb_atom_t Atoms[atomCount] = {};
};

TXcbWindow::~TXcbWindow() {
    GiveFocusBack();
    xcb_free_gc(System.Connection, Gc);
    xcb_destroy_window(System.Connection, Id);
    xcb_flush(System.Connection);
}

void TXcbWindow::Place(int left, int top, int width, int height) {
    xcb_connection_t* c = System.Connection;
    System.SetSizeHints(Id, left, top, width, height);
    const std::uint32_t values[] = {static_cast<std::uint32_t>(left),
                                    static_cast<std::uint32_t>(top),
                                    static_cast<std::uint32_t>(width),
                                    static_cast<std::uint32_t>(height), XCB_STACK_MODE_ABOVE};
    xcb_configure_window(c, Id,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT | XCB_CONFIG_WINDOW_STACK_MODE,
                         values);
    xcb_map_window(c, Id);
    xcb_flush(c);
}

void TXcbWindow::Present(const TFramePixels& pixels) {
    if (pixels.IsEmpty()) {
        return;
    }
    // A view of the painter's pixels, no copy.
    const QImage frame(pixels.Bits, pixels.Width, pixels.Height, pixels.BytesPerLine,
                       QImage::Format_RGB32);
    const QImage* image = &frame;
    if (frame.format() != System.Format.Format) {
        Converted = frame.convertToFormat(System.Format.Format);
        image = &Converted;
    }
    xcb_connection_t* c = System.Connection;
    const auto bytesPerLine = static_cast<std::uint32_t>(image->bytesPerLine());
    const auto height = static_cast<std::uint32_t>(image->height());
    if (bytesPerLine == 0 || height == 0) {
        return;
    }
    // A put larger than the server's request limit closes the connection: send strips.
    const std::uint32_t maxBytes = xcb_get_maximum_request_length(c) * 4;
    std::uint32_t rows = height;
    if (kPutImageHeader + bytesPerLine * height > maxBytes) {
        rows = std::max<std::uint32_t>((maxBytes - kPutImageHeader) / bytesPerLine, 1);
    }
    for (std::uint32_t y = 0; y < height; y += rows) {
        const std::uint32_t count = std::min(rows, height - y);
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, Id, Gc,
                      static_cast<std::uint16_t>(image->width()), static_cast<std::uint16_t>(count),
                      0, static_cast<std::int16_t>(y), 0, System.Format.Depth, count * bytesPerLine,
                      image->constScanLine(static_cast<int>(y)));
    }
    xcb_flush(c);
}

bool TXcbWindow::NextEvent(TWindowEvent& event) {
    xcb_connection_t* c = System.Connection;
    while (xcb_generic_event_t* raw = xcb_poll_for_event(c)) {
        bool taken = false;
        // The top bit marks events sent by another client; they count the same.
        switch (raw->response_type & 0x7F) {
            case XCB_EXPOSE:
                taken = reinterpret_cast<xcb_expose_event_t*>(raw)->count == 0;
                event = {wekExpose, 0, 0};
                break;
            case XCB_KEY_PRESS: {
                auto* key = reinterpret_cast<xcb_key_press_event_t*>(raw);
                taken = System.Symbols &&
                        xcb_key_symbols_get_keysym(System.Symbols, key->detail, 0) == XK_Escape;
                event = {wekEscape, 0, 0};
                break;
            }
            case XCB_BUTTON_PRESS: {
                auto* button = reinterpret_cast<xcb_button_press_event_t*>(raw);
                taken = button->detail == XCB_BUTTON_INDEX_1;
                event = {wekClick, button->event_x, button->event_y};
                break;
            }
            case XCB_CLIENT_MESSAGE: {
                auto* message = reinterpret_cast<xcb_client_message_event_t*>(raw);
                taken = message->type == System.Atoms[atomWmProtocols] &&
                        message->data.data32[0] == System.Atoms[atomWmDeleteWindow];
                event = {wekClose, 0, 0};
                break;
            }
            case XCB_MAP_NOTIFY: {
                // Without this, Esc goes to the window under the pointer: the blocked main
                // window, which would see it only after the long step.
                xcb_get_input_focus_reply_t* focus =
                    xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
                if (focus && focus->focus != Id) PreviousFocus = focus->focus;
                std::free(focus);
                xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, Id, XCB_CURRENT_TIME);
                xcb_flush(c);
                TookFocus = true;
                break;
            }
            case XCB_MAPPING_NOTIFY:
                if (System.Symbols) {
                    xcb_refresh_keyboard_mapping(
                        System.Symbols, reinterpret_cast<xcb_mapping_notify_event_t*>(raw));
                }
                break;
            default:
                break;
        }
        std::free(raw);
        if (taken) {
            return true;
        }
    }
    return false;
}

void TXcbWindow::Hide() {
    GiveFocusBack();
    xcb_unmap_window(System.Connection, Id);
    xcb_flush(System.Connection);
}

// Without a window manager to choose the next window, the keyboard would fall to the root window
// when this one goes, and the program's own window would not take keys until clicked. Only if
// the keyboard is still ours: the operator may have gone elsewhere meanwhile.
void TXcbWindow::GiveFocusBack() {
    if (!TookFocus) return;
    TookFocus = false;
    xcb_connection_t* c = System.Connection;
    xcb_get_input_focus_reply_t* focus =
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
    if (focus && focus->focus == Id) {
        // A window gone meanwhile makes this an error event, which nobody waits for.
        xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, PreviousFocus, XCB_CURRENT_TIME);
        xcb_flush(c);
    }
    std::free(focus);
}

}  // namespace

bool RegisterPlatformViewerClass() {
    PrepareViewerFonts();
    return true;
}

std::unique_ptr<IViewerWindowSystem> OpenPlatformWindowSystem() {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        return nullptr;
    }
    // An X server may drop a new connection now and then (Xvfb here, about one in five when
    // connections come quickly): a few more tries before running windowless.
    int screenNumber = 0;
    xcb_connection_t* c = nullptr;
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        c = xcb_connect(display, &screenNumber);
        if (!xcb_connection_has_error(c)) {
            break;
        }
        xcb_disconnect(c);
        c = nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!c) {
        return nullptr;
    }
    const xcb_setup_t* setup = xcb_get_setup(c);
    auto screens = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < screenNumber && screens.rem; ++i) {
        xcb_screen_next(&screens);
    }
    const TPixelFormat format = screens.rem ? FindPixelFormat(setup, screens.data) : TPixelFormat();
    if (format.Format == QImage::Format_Invalid) {
        xcb_disconnect(c);
        return nullptr;
    }
    return std::make_unique<TXcbWindowSystem>(c, screens.data, format);
}
