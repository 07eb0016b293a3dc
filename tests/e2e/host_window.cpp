// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Stands in for a screensaver host in the end-to-end tests: opens a plain black window at the
// given place and size, prints its id (0x hexadecimal) on one line, and keeps it mapped until it
// is killed.
//
//   host_window [X Y WIDTH HEIGHT]     (default 100 100 640 400)
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char* argv[])
{
    int geometry[4] = {100, 100, 640, 400};
    if (argc == 5) {
        for (int i = 0; i < 4; ++i) {
            geometry[i] = std::atoi(argv[i + 1]);
        }
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: %s [X Y WIDTH HEIGHT]\n", argv[0]);
        return 2;
    }
    if (geometry[2] <= 0 || geometry[3] <= 0) {
        std::fprintf(stderr, "host_window: the size must be positive\n");
        return 2;
    }

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        std::fprintf(stderr, "host_window: no X display\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    const std::uint32_t values[] = {screen->black_pixel, XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, static_cast<std::int16_t>(geometry[0]),
                      static_cast<std::int16_t>(geometry[1]), static_cast<std::uint16_t>(geometry[2]),
                      static_cast<std::uint16_t>(geometry[3]), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    const char title[] = "Kestrel test host";
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        static_cast<std::uint32_t>(std::strlen(title)), title);
    xcb_map_window(connection, window);
    xcb_flush(connection);

    std::printf("0x%x\n", window);
    std::fflush(stdout);

    // Nothing to draw: the background is the server's. The loop only keeps the connection open
    // (closing it would destroy the window) and ends when the server goes away.
    while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
        std::free(event);
    }
    xcb_disconnect(connection);
    return 0;
}
