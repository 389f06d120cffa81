// Serves N generated H.264 streams over RTSP on 127.0.0.1, at rtsp://127.0.0.1:<port>/stream1
// to /streamN. When it listens it writes "PORT <port>" on a line of its own to standard output;
// it ends on SIGTERM or SIGINT.
//
//   rtspserver [--port N] [--streams N] [--size WxH] [--fps N] [--patterns a,b,...]
//              [--user NAME:PASSWORD]
//
// --port 0 (the default) takes a free port. The patterns are videotestsrc's (ball, smpte, red,
// ...), given to the streams in turn. With --user every stream asks for that user and password.
#include <cstdio>
#include <string>
#include <vector>

#include <glib-unix.h>
#include <gst/gst.h>
#include <gst/rtsp-server/rtsp-server.h>

namespace
{

const char *const Address = "127.0.0.1";
const char *const Role = "viewer";
// Bits per pixel and frame that x264 is given: a clean picture of a generated pattern.
constexpr double BitsPerPixel = 0.1;
constexpr int LowestKbps = 300;

struct Options {
    int port = 0;
    int streams = 1;
    int width = 640;
    int height = 360;
    int fps = 25;
    std::vector<std::string> patterns{"ball"};
    std::string user;
    std::string password;
};

bool parseSize(const char *text, int *width, int *height)
{
    return std::sscanf(text, "%dx%d", width, height) == 2 && *width > 0 && *height > 0;
}

std::vector<std::string> split(const std::string &text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find(',', start);
        const std::string part = text.substr(start, end == std::string::npos ? end : end - start);
        if (!part.empty())
            parts.push_back(part);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return parts;
}

bool parse(int argc, char **argv, Options *options)
{
    gint port = 0;
    gint streams = 1;
    gint fps = 25;
    gchar *size = nullptr;
    gchar *patterns = nullptr;
    gchar *user = nullptr;
    GOptionEntry entries[] = {
        {"port", 0, 0, G_OPTION_ARG_INT, &port, "Port to listen on (0: a free one)", "N"},
        {"streams", 0, 0, G_OPTION_ARG_INT, &streams, "Number of streams", "N"},
        {"size", 0, 0, G_OPTION_ARG_STRING, &size, "Picture size", "WxH"},
        {"fps", 0, 0, G_OPTION_ARG_INT, &fps, "Frames per second", "N"},
        {"patterns", 0, 0, G_OPTION_ARG_STRING, &patterns, "videotestsrc patterns, in turn", "a,b"},
        {"user", 0, 0, G_OPTION_ARG_STRING, &user, "Ask for this user and password",
         "NAME:PASSWORD"},
        {nullptr, 0, 0, G_OPTION_ARG_NONE, nullptr, nullptr, nullptr}};
    GOptionContext *context = g_option_context_new("- RTSP test streams on 127.0.0.1");
    g_option_context_add_main_entries(context, entries, nullptr);
    GError *error = nullptr;
    bool ok = g_option_context_parse(context, &argc, &argv, &error);
    if (!ok) {
        std::fprintf(stderr, "rtspserver: %s\n", error->message);
        g_error_free(error);
    }
    g_option_context_free(context);

    options->port = port;
    options->streams = streams;
    options->fps = fps;
    if (ok && size && !parseSize(size, &options->width, &options->height)) {
        std::fprintf(stderr, "rtspserver: --size wants WxH, not %s\n", size);
        ok = false;
    }
    if (patterns)
        options->patterns = split(patterns);
    if (user) {
        const std::string text = user;
        const size_t colon = text.find(':');
        options->user = text.substr(0, colon);
        options->password = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    }
    g_free(size);
    g_free(patterns);
    g_free(user);
    if (ok && (port < 0 || port > 65535 || streams < 1 || fps < 1 || options->patterns.empty())) {
        std::fprintf(stderr, "rtspserver: a port 0-65535, one stream, one frame per second and "
                             "one pattern at least\n");
        ok = false;
    }
    return ok;
}

std::string launchLine(const Options &options, const std::string &pattern)
{
    const int kbps = std::max(LowestKbps, int(double(options.width) * options.height * options.fps *
                                              BitsPerPixel / 1000));
    char line[1024];
    std::snprintf(line, sizeof line,
                  "( videotestsrc is-live=true pattern=%s ! "
                  "video/x-raw,width=%d,height=%d,framerate=%d/1 ! "
                  "x264enc tune=zerolatency speed-preset=ultrafast threads=1 key-int-max=%d "
                  "bitrate=%d ! rtph264pay name=pay0 pt=96 config-interval=-1 )",
                  pattern.c_str(), options.width, options.height, options.fps, options.fps, kbps);
    return line;
}

gboolean quit(gpointer loop)
{
    g_main_loop_quit(static_cast<GMainLoop *>(loop));
    return G_SOURCE_REMOVE;
}

} // namespace

int main(int argc, char **argv)
{
    gst_init(&argc, &argv);
    Options options;
    if (!parse(argc, argv, &options))
        return 2;

    GMainLoop *loop = g_main_loop_new(nullptr, FALSE);
    GstRTSPServer *server = gst_rtsp_server_new();
    gst_rtsp_server_set_address(server, Address);
    const std::string service = std::to_string(options.port);
    gst_rtsp_server_set_service(server, service.c_str());

    GstRTSPMountPoints *mounts = gst_rtsp_server_get_mount_points(server);
    for (int i = 0; i < options.streams; ++i) {
        GstRTSPMediaFactory *factory = gst_rtsp_media_factory_new();
        const std::string &pattern = options.patterns[size_t(i) % options.patterns.size()];
        gst_rtsp_media_factory_set_launch(factory, launchLine(options, pattern).c_str());
        // One encoder per stream, whoever watches it.
        gst_rtsp_media_factory_set_shared(factory, TRUE);
        if (!options.user.empty())
            gst_rtsp_media_factory_add_role(
                factory, Role, GST_RTSP_PERM_MEDIA_FACTORY_ACCESS, G_TYPE_BOOLEAN, TRUE,
                GST_RTSP_PERM_MEDIA_FACTORY_CONSTRUCT, G_TYPE_BOOLEAN, TRUE, nullptr);
        const std::string path = "/stream" + std::to_string(i + 1);
        gst_rtsp_mount_points_add_factory(mounts, path.c_str(), factory);
    }
    g_object_unref(mounts);

    if (!options.user.empty()) {
        GstRTSPAuth *auth = gst_rtsp_auth_new();
        GstRTSPToken *token =
            gst_rtsp_token_new(GST_RTSP_TOKEN_MEDIA_FACTORY_ROLE, G_TYPE_STRING, Role, nullptr);
        gchar *basic = gst_rtsp_auth_make_basic(options.user.c_str(), options.password.c_str());
        gst_rtsp_auth_add_basic(auth, basic, token);
        g_free(basic);
        gst_rtsp_token_unref(token);
        gst_rtsp_server_set_auth(server, auth);
        g_object_unref(auth);
    }

    GError *error = nullptr;
    GSource *source = gst_rtsp_server_create_source(server, nullptr, &error);
    if (!source) {
        std::fprintf(stderr, "rtspserver: cannot listen on %s:%d: %s\n", Address, options.port,
                     error ? error->message : "unknown error");
        if (error)
            g_error_free(error);
        g_object_unref(server);
        g_main_loop_unref(loop);
        return 1;
    }
    g_source_attach(source, nullptr);
    std::printf("PORT %d\n", gst_rtsp_server_get_bound_port(server));
    std::fflush(stdout);

    g_unix_signal_add(SIGTERM, quit, loop);
    g_unix_signal_add(SIGINT, quit, loop);
    g_main_loop_run(loop);

    g_source_destroy(source);
    g_source_unref(source);
    g_object_unref(server);
    g_main_loop_unref(loop);
    return 0;
}
