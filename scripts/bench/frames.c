/* Watches what a program paints, event-driven through the X DAMAGE
 * extension, and clicks into its window through XTEST.
 *
 *   frames start [-k] [-t seconds] [-q quiet-ms] program [arguments...]
 *     Starts the program and prints "<first> <usable> <pid> <window>":
 *     the milliseconds from exec to its first painted frame (a new
 *     viewable top-level window of at least 200 x 150 pixels with at least
 *     1 % not black), and to the start of the last stretch in which that
 *     window's content stays the same (within 64 pixels) until
 *     nothing is painted for quiet-ms (default 1500) or the time-out
 *     (default 20 s) ends; -1 when there is none. A start-up picture or
 *     a "loading" overlay therefore counts for the first frame but not
 *     for the usable screen. Without -k the program is then terminated
 *     (SIGTERM, SIGKILL after 5 s). With FRAMES_SAVE=prefix set, both
 *     frames are written to prefix-first.ppm and prefix-usable.ppm.
 *
 *   frames click window [name x y close-x close-y]...
 *     For each entry: moves the pointer to x,y in the window, waits until
 *     the hover is painted, clicks, and prints "<name> <ms>": the time from
 *     the click until the first frame in which at least 3 % of the window
 *     changed (-1 if none within 3 s). Then it clicks close-x,close-y and
 *     waits until the window is back as it was before (within 1 %); if it
 *     is not, it prints "<name> not-closed" and stops.
 */
#define _POSIX_C_SOURCE 200809L
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

static xcb_connection_t *c;
static xcb_window_t root;
static int damage_event;
static int screen_height;
static int debug; /* FRAMES_DEBUG set: each frame on stderr */

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

typedef struct
{
    int width, height;
    unsigned int *pixels; /* RGB only */
} Frame;

static void frame_free(Frame *f)
{
    free(f->pixels);
    f->pixels = NULL;
    f->width = f->height = 0;
}

/* The window's content, or an empty frame when it is not viewable. */
static Frame grab(xcb_window_t w)
{
    Frame f = {0, 0, NULL};
    xcb_get_window_attributes_reply_t *a =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), NULL);
    const int viewable = a && a->map_state == XCB_MAP_STATE_VIEWABLE;
    free(a);
    if (!viewable)
        return f;
    xcb_get_geometry_reply_t *g = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), NULL);
    if (!g)
        return f;
    const int width = g->width, height = g->height, depth = g->depth;
    free(g);
    if (depth < 24)
        return f;
    xcb_get_image_reply_t *image = xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, w, 0, 0, width, height, ~0u), NULL);
    if (!image)
        return f;
    const int length = xcb_get_image_data_length(image) / 4;
    if (length >= width * height) {
        f.width = width;
        f.height = height;
        f.pixels = malloc((size_t)length * 4);
        const unsigned int *data = (const unsigned int *)xcb_get_image_data(image);
        for (int i = 0; i < width * height; ++i)
            f.pixels[i] = data[i] & 0xFFFFFF;
    }
    free(image);
    return f;
}

/* Writes `f` as <FRAMES_SAVE>-<what>.ppm when FRAMES_SAVE is set. */
static void save(const Frame *f, const char *what)
{
    const char *prefix = getenv("FRAMES_SAVE");
    if (!prefix || !*prefix || !f->pixels)
        return;
    char path[4096];
    snprintf(path, sizeof path, "%s-%s.ppm", prefix, what);
    FILE *out = fopen(path, "wb");
    if (!out)
        return;
    fprintf(out, "P6 %d %d 255\n", f->width, f->height);
    for (long i = 0; i < (long)f->width * f->height; ++i) {
        const unsigned char rgb[3] = {(unsigned char)(f->pixels[i] >> 16),
                                      (unsigned char)(f->pixels[i] >> 8),
                                      (unsigned char)f->pixels[i]};
        fwrite(rgb, 1, 3, out);
    }
    fclose(out);
}

static int painted(const Frame *f)
{
    if (f->width < 200 || f->height < 150)
        return 0;
    const long n = (long)f->width * f->height;
    long lit = 0;
    for (long i = 0; i < n; ++i)
        lit += f->pixels[i] != 0;
    return lit * 100 >= n;
}

/* Differing pixels (all of them for another size). */
static long difference(const Frame *a, const Frame *b)
{
    if (!a->pixels || !b->pixels || a->width != b->width || a->height != b->height)
        return 1L << 30;
    const long n = (long)a->width * a->height;
    long d = 0;
    for (long i = 0; i < n; ++i)
        d += a->pixels[i] != b->pixels[i];
    return d;
}

static long area(const Frame *f)
{
    return (long)f->width * f->height;
}

/* Waits for the next event for at most `ms`; NULL on time-out. */
static xcb_generic_event_t *next_event(double ms)
{
    xcb_generic_event_t *e = xcb_poll_for_event(c);
    if (e || ms <= 0)
        return e;
    struct pollfd p = {xcb_get_file_descriptor(c), POLLIN, 0};
    if (poll(&p, 1, (int)(ms + 0.5)) > 0)
        return xcb_poll_for_event(c);
    return NULL;
}

static int is_damage(const xcb_generic_event_t *e)
{
    return (e->response_type & 0x7F) == damage_event + XCB_DAMAGE_NOTIFY;
}

/* Damage reported on `d` so far is taken; later drawing reports anew. */
static void take(xcb_damage_damage_t d)
{
    xcb_damage_subtract(c, d, XCB_NONE, XCB_NONE);
    xcb_flush(c);
}

static void setup(void)
{
    debug = getenv("FRAMES_DEBUG") != NULL;
    c = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(c)) {
        fprintf(stderr, "frames: no X display\n");
        exit(2);
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    root = screen->root;
    screen_height = screen->height_in_pixels;
    const xcb_query_extension_reply_t *ext = xcb_get_extension_data(c, &xcb_damage_id);
    if (!ext || !ext->present) {
        fprintf(stderr, "frames: no DAMAGE extension\n");
        exit(2);
    }
    damage_event = ext->first_event;
    free(xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), NULL));
}

#define MAX_WINDOWS 64
/* Pixels that may change while the content counts as the same: a blinking
 * text cursor, not a "loading" line. */
#define STILL 64

static int start(int argc, char **argv)
{
    int keep = 0, first = 0;
    double timeout = 20000, quiet = 1500;
    while (first < argc && argv[first][0] == '-') {
        if (!strcmp(argv[first], "-k"))
            keep = 1;
        else if (!strcmp(argv[first], "-t") && first + 1 < argc)
            timeout = atof(argv[++first]) * 1000;
        else if (!strcmp(argv[first], "-q") && first + 1 < argc)
            quiet = atof(argv[++first]);
        ++first;
    }
    if (first >= argc) {
        fprintf(stderr, "usage: frames start [-k] [-t s] [-q ms] program [arguments...]\n");
        return 2;
    }
    setup();
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), NULL);
    const int before_n = tree ? xcb_query_tree_children_length(tree) : 0;
    xcb_window_t *before = calloc((size_t)before_n + 1, sizeof *before);
    if (tree)
        memcpy(before, xcb_query_tree_children(tree), (size_t)before_n * sizeof *before);
    free(tree);

    const double t0 = now_ms();
    const pid_t pid = fork();
    if (pid == 0) {
        /* Not xcb_disconnect(): it shuts the socket down for the parent too;
         * the connection is close-on-exec. */
        if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr))
            _exit(127);
        execvp(argv[first], argv + first);
        _exit(127);
    }

    /* New top-level windows, each with its damage object. */
    xcb_window_t windows[MAX_WINDOWS];
    xcb_damage_damage_t damages[MAX_WINDOWS];
    int n_windows = 0;
    xcb_window_t main_window = XCB_NONE;
    double first_frame = -1, usable = -1, last_paint = -1;
    Frame stable = {0, 0, NULL};
    int ended = 0;

    while (now_ms() - t0 < timeout) {
        if (last_paint >= 0 && now_ms() - last_paint >= quiet)
            break;
        xcb_generic_event_t *e = next_event(50);
        if (!e) {
            if (xcb_connection_has_error(c))
                break;
            int status;
            if (!ended && waitpid(pid, &status, WNOHANG) == pid) {
                ended = 1;
                break;
            }
            continue;
        }
        const double at = now_ms() - t0;
        const int type = e->response_type & 0x7F;
        xcb_window_t damaged = XCB_NONE;
        if (type == XCB_MAP_NOTIFY) {
            const xcb_window_t w = ((xcb_map_notify_event_t *)e)->window;
            int known = 0;
            for (int i = 0; i < before_n; ++i)
                known |= before[i] == w;
            for (int i = 0; i < n_windows; ++i)
                known |= windows[i] == w;
            if (!known && n_windows < MAX_WINDOWS) {
                windows[n_windows] = w;
                damages[n_windows] = xcb_generate_id(c);
                xcb_damage_create(c, damages[n_windows], w, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                xcb_flush(c);
                ++n_windows;
                damaged = w; /* it may have been drawn before the damage object */
            }
        } else if (is_damage(e)) {
            const xcb_damage_notify_event_t *d = (const xcb_damage_notify_event_t *)e;
            take(d->damage);
            damaged = d->drawable;
        }
        free(e);
        if (damaged == XCB_NONE)
            continue;
        Frame f = grab(damaged);
        if (debug)
            fprintf(stderr, "%.0f ms: window %u %dx%d painted %d diff %ld\n", at, damaged, f.width,
                    f.height, painted(&f), difference(&f, &stable));
        if (main_window == XCB_NONE && painted(&f)) {
            main_window = damaged;
            first_frame = usable = at;
            save(&f, "first");
            stable = f;
            last_paint = now_ms();
        } else if (main_window != XCB_NONE && damaged == main_window) {
            last_paint = now_ms();
            if (f.pixels && difference(&f, &stable) > STILL) {
                frame_free(&stable);
                stable = f;
                usable = at;
            } else {
                frame_free(&f);
            }
        } else {
            frame_free(&f);
        }
    }
    save(&stable, "usable");
    printf("%.0f %.0f %d %u\n", first_frame, usable, (int)pid, (unsigned)main_window);
    fflush(stdout);
    xcb_disconnect(c);
    if (keep)
        return 0;
    kill(pid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (waitpid(pid, NULL, WNOHANG) == pid)
            return 0;
        struct timespec t = {0, 10000000};
        nanosleep(&t, NULL);
    }
    kill(pid, SIGKILL);
    waitpid(pid, NULL, 0);
    return 0;
}

/* Waits until nothing is painted on `d` for `quiet` ms (at most `limit`). */
static void settle(xcb_damage_damage_t d, double quiet, double limit)
{
    const double t0 = now_ms();
    double last = t0;
    while (now_ms() - last < quiet && now_ms() - t0 < limit) {
        xcb_generic_event_t *e = next_event(quiet - (now_ms() - last));
        if (e && is_damage(e)) {
            take(d);
            last = now_ms();
        }
        free(e);
    }
}

static void pointer(int type, int detail, int x, int y)
{
    xcb_test_fake_input(c, (uint8_t)type, (uint8_t)detail, XCB_CURRENT_TIME, root, (int16_t)x,
                        (int16_t)y, 0);
    xcb_flush(c);
}

static int click(int argc, char **argv)
{
    if (argc < 1) {
        fprintf(stderr, "usage: frames click window [name x y close-x close-y]...\n");
        return 2;
    }
    setup();
    const xcb_window_t w = (xcb_window_t)strtoul(argv[0], NULL, 0);
    xcb_translate_coordinates_reply_t *origin =
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, w, root, 0, 0), NULL);
    if (!origin) {
        fprintf(stderr, "frames: no window %s\n", argv[0]);
        return 2;
    }
    const int ox = origin->dst_x, oy = origin->dst_y;
    free(origin);
    const xcb_damage_damage_t d = xcb_generate_id(c);
    xcb_damage_create(c, d, w, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
    xcb_flush(c);
    settle(d, 300, 3000);
    Frame at_rest = grab(w);

    for (int i = 1; i + 4 < argc; i += 5) {
        const char *name = argv[i];
        const int x = ox + atoi(argv[i + 1]), y = oy + atoi(argv[i + 2]);
        pointer(XCB_MOTION_NOTIFY, 0, x, y);
        settle(d, 300, 3000);
        Frame hovered = grab(w);
        take(d);
        pointer(XCB_BUTTON_PRESS, 1, x, y);
        pointer(XCB_BUTTON_RELEASE, 1, x, y);
        const double t0 = now_ms();
        double opened = -1;
        while (opened < 0 && now_ms() - t0 < 3000) {
            xcb_generic_event_t *e = next_event(3000 - (now_ms() - t0));
            if (e && is_damage(e)) {
                const double at = now_ms() - t0;
                take(d);
                Frame f = grab(w);
                if (debug)
                    fprintf(stderr, "%s %.0f ms: diff %ld\n", name, at, difference(&f, &hovered));
                if (difference(&f, &hovered) * 100 >= area(&f) * 3)
                    opened = at;
                frame_free(&f);
            }
            free(e);
        }
        frame_free(&hovered);
        printf("%s %.0f\n", name, opened);
        fflush(stdout);
        settle(d, 300, 3000);

        const int cx = ox + atoi(argv[i + 3]), cy = oy + atoi(argv[i + 4]);
        pointer(XCB_MOTION_NOTIFY, 0, cx, cy);
        settle(d, 200, 2000);
        pointer(XCB_BUTTON_PRESS, 1, cx, cy);
        pointer(XCB_BUTTON_RELEASE, 1, cx, cy);
        pointer(XCB_MOTION_NOTIFY, 0, 1, screen_height - 2); /* off the window */
        settle(d, 400, 3000);
        Frame after = grab(w);
        const long left = difference(&after, &at_rest);
        const int closed = left * 100 <= area(&after);
        frame_free(&after);
        if (!closed) {
            printf("%s not-closed\n", name);
            return 1;
        }
    }
    frame_free(&at_rest);
    return 0;
}

int main(int argc, char **argv)
{
    if (argc >= 2 && !strcmp(argv[1], "start"))
        return start(argc - 2, argv + 2);
    if (argc >= 2 && !strcmp(argv[1], "click"))
        return click(argc - 2, argv + 2);
    fprintf(stderr, "usage: frames start|click ...\n");
    return 2;
}
