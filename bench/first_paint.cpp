// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Measures a window program's start the same way for every program, with no help from it:
// the time from starting it to the first exposure of its first top-level window (the moment it
// paints), and its peak memory. Run inside an X server of its own:
//
//   first_paint RUNS PROGRAM [ARGUMENTS...]
//
// Prints one line per run: "milliseconds peak_kib".
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <memory>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Run
{
    double milliseconds = -1;
    long peakKib = 0;
};

Run MeasureOnce(char** command)
{
    Run run;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "first_paint: no X server\n");
        std::exit(2);
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t rootEvents = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &rootEvents);
    xcb_flush(connection);

    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::execvp(command[0], command);
        ::_exit(127);
    }
    // A new top-level window is mapped; its first exposure is when the server asks it to paint,
    // which the program does at once. Waiting for the map as well makes sure it is our window.
    for (;;) {
        std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(xcb_wait_for_event(connection), &std::free);
        if (!event) {
            break;
        }
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event.get());
            const uint32_t exposure = XCB_EVENT_MASK_EXPOSURE;
            xcb_change_window_attributes(connection, created->window, XCB_CW_EVENT_MASK, &exposure);
            // A program quick enough may map its window, and take its first exposure, before the
            // server heard that we watch it: then the window is asked to paint again at once, and
            // that exposure, at the same moment, is the one we see.
            std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
                xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, created->window),
                                                nullptr),
                &std::free);
            if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE) {
                xcb_clear_area(connection, 1, created->window, 0, 0, 0, 0);
            }
            xcb_flush(connection);
        } else if (type == XCB_EXPOSE) {
            run.milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
    }
    // Let the program finish its first frame, then end it (a program that quits after its first
    // paint has already gone).
    ::usleep(300000);
    ::kill(child, SIGTERM);
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    run.peakKib = usage.ru_maxrss;
    xcb_disconnect(connection);
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: first_paint RUNS PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    for (int i = 0; i < runs; ++i) {
        const Run run = MeasureOnce(argv + 2);
        std::printf("%.1f %ld\n", run.milliseconds, run.peakKib);
        std::fflush(stdout);
    }
    return 0;
}
