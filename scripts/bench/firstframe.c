/* Starts a program and prints the milliseconds from exec until its first
 * painted frame: a new viewable top-level window of at least 200 x 150
 * pixels of which at least 1 % is not black (the X server's background).
 * Prints "-1" when none appears within the time-out. Then it terminates
 * the program (SIGTERM, SIGKILL after 5 s) unless -k is given, in which
 * case it prints the pid on a second line and leaves the program running.
 *
 *   firstframe [-k] [-t seconds] program [arguments...]
 */
#define _POSIX_C_SOURCE 200809L
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static void sleep_us(long us)
{
    struct timespec t = {us / 1000000, (us % 1000000) * 1000};
    nanosleep(&t, NULL);
}

static int known(const xcb_window_t *list, int n, xcb_window_t w)
{
    for (int i = 0; i < n; ++i)
        if (list[i] == w)
            return 1;
    return 0;
}

/* Whether `w` is viewable, big enough and painted. */
static int painted(xcb_connection_t *c, xcb_window_t w)
{
    xcb_get_window_attributes_reply_t *a =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), NULL);
    const int viewable = a && a->map_state == XCB_MAP_STATE_VIEWABLE;
    free(a);
    if (!viewable)
        return 0;
    xcb_get_geometry_reply_t *g = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), NULL);
    if (!g)
        return 0;
    const int width = g->width, height = g->height, depth = g->depth;
    free(g);
    if (width < 200 || height < 150 || depth < 24)
        return 0;
    xcb_get_image_reply_t *image = xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, w, 0, 0, width, height, ~0u), NULL);
    if (!image)
        return 0;
    const int length = xcb_get_image_data_length(image) / 4;
    const unsigned int *pixels = (const unsigned int *)xcb_get_image_data(image);
    long lit = 0;
    for (int i = 0; i < length; i += 7)
        lit += (pixels[i] & 0xFFFFFF) != 0;
    free(image);
    return length > 0 && lit * 7 * 100 >= (long)length;
}

int main(int argc, char **argv)
{
    int keep = 0, timeout = 20, first = 1;
    while (first < argc && argv[first][0] == '-') {
        if (!strcmp(argv[first], "-k"))
            keep = 1;
        else if (!strcmp(argv[first], "-t") && first + 1 < argc)
            timeout = atoi(argv[++first]);
        ++first;
    }
    if (first >= argc) {
        fprintf(stderr, "usage: firstframe [-k] [-t seconds] program [arguments...]\n");
        return 2;
    }
    xcb_connection_t *c = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(c)) {
        fprintf(stderr, "firstframe: no X display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), NULL);
    const int before_n = tree ? xcb_query_tree_children_length(tree) : 0;
    xcb_window_t *before = calloc((size_t)before_n + 1, sizeof *before);
    if (tree)
        memcpy(before, xcb_query_tree_children(tree), (size_t)before_n * sizeof *before);
    free(tree);

    const double start = now_ms();
    const pid_t pid = fork();
    if (pid == 0) {
        /* Not xcb_disconnect(): it shuts the socket down for the parent too;
         * the connection is close-on-exec. */
        if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr))
            _exit(127);
        execvp(argv[first], argv + first);
        _exit(127);
    }
    double found = -1;
    while (found < 0 && now_ms() - start < timeout * 1000.0) {
        tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), NULL);
        if (tree) {
            const xcb_window_t *children = xcb_query_tree_children(tree);
            const int n = xcb_query_tree_children_length(tree);
            for (int i = 0; i < n && found < 0; ++i) {
                if (!known(before, before_n, children[i]) && painted(c, children[i]))
                    found = now_ms() - start;
            }
            free(tree);
        }
        if (found < 0) {
            int status;
            if (waitpid(pid, &status, WNOHANG) == pid)
                break; /* it ended without a window */
            sleep_us(2000);
        }
    }
    printf("%.0f\n", found);
    if (keep) {
        printf("%d\n", (int)pid);
        return 0;
    }
    kill(pid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (waitpid(pid, NULL, WNOHANG) == pid)
            return 0;
        sleep_us(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, NULL, 0);
    return 0;
}
