#include "WaylandScreen.h"

#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <vector>

namespace platform::wayland {

namespace {

// How long the compositor may take to answer before the program gives up.
constexpr int kAnswerMilliseconds = 5000;

struct OutputEntry {
    WaylandScreen::State* owner = nullptr;
    uint32_t global = 0;
    wl_output* output = nullptr;
    zxdg_output_v1* xdg = nullptr;
    Output info;
    int scale = 1;
    QPoint position; // wl_output's own, where there is no xdg-output
    bool logicalKnown = false;
};

// Shared memory the compositor copies into.
struct SharedBuffer {
    int fd = -1;
    void* data = MAP_FAILED;
    size_t size = 0;
    wl_shm_pool* pool = nullptr;
    wl_buffer* buffer = nullptr;
    ~SharedBuffer() {
        if (buffer) wl_buffer_destroy(buffer);
        if (pool) wl_shm_pool_destroy(pool);
        if (data != MAP_FAILED) munmap(data, size);
        if (fd >= 0) close(fd);
    }
};

struct Frame {
    bool announced = false;
    uint32_t format = 0, width = 0, height = 0, stride = 0;
    uint32_t flags = 0;
    bool ready = false, failed = false;
};

// 0xFFRRGGBB from one pixel of a format the compositor may choose.
bool ToRgb32(const uchar* data, const Frame& f, QImage& out) {
    const bool bgr = f.format == WL_SHM_FORMAT_XBGR8888 || f.format == WL_SHM_FORMAT_ABGR8888;
    if (!bgr && f.format != WL_SHM_FORMAT_XRGB8888 && f.format != WL_SHM_FORMAT_ARGB8888)
        return false;
    out = QImage(static_cast<int>(f.width), static_cast<int>(f.height), QImage::Format_RGB32);
    for (uint32_t y = 0; y < f.height; ++y) {
        const auto* src =
            reinterpret_cast<const quint32*>(data + static_cast<size_t>(y) * f.stride);
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(static_cast<int>(y)));
        for (uint32_t x = 0; x < f.width; ++x) {
            const quint32 p = src[x];
            dst[x] = bgr ? 0xFF000000u | ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF)
                         : 0xFF000000u | p;
        }
    }
    return true;
}

} // namespace

struct WaylandScreen::State {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_shm* shm = nullptr;
    zxdg_output_manager_v1* xdgManager = nullptr;
    zwlr_screencopy_manager_v1* copier = nullptr;
    std::vector<std::unique_ptr<OutputEntry>> outputs;

    ~State() {
        for (auto& o : outputs)
            release(*o);
        if (copier) zwlr_screencopy_manager_v1_destroy(copier);
        if (xdgManager) zxdg_output_manager_v1_destroy(xdgManager);
        if (shm) wl_shm_destroy(shm);
        if (registry) wl_registry_destroy(registry);
        if (display) wl_display_disconnect(display);
    }

    static void release(OutputEntry& o) {
        if (o.xdg) zxdg_output_v1_destroy(o.xdg);
        if (o.output) {
            if (wl_output_get_version(o.output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
                wl_output_release(o.output);
            else
                wl_output_destroy(o.output);
        }
        o.xdg = nullptr;
        o.output = nullptr;
    }

    // Reads and handles the compositor's events until done() holds; false
    // when the connection broke or the compositor did not answer in time.
    bool dispatchUntil(const std::function<bool()>& done) {
        using Clock = std::chrono::steady_clock;
        const auto until = Clock::now() + std::chrono::milliseconds(kAnswerMilliseconds);
        while (!done()) {
            if (wl_display_get_error(display)) return false;
            while (wl_display_prepare_read(display) != 0)
                if (wl_display_dispatch_pending(display) < 0) return false;
            if (done()) {
                wl_display_cancel_read(display);
                return true;
            }
            wl_display_flush(display);
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
            pollfd p{wl_display_get_fd(display), POLLIN, 0};
            if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) {
                wl_display_cancel_read(display);
                return false;
            }
            if (wl_display_read_events(display) < 0) return false;
            if (wl_display_dispatch_pending(display) < 0) return false;
        }
        return true;
    }

    // Every request sent so far answered, every event so far handled.
    bool roundtrip() {
        bool done = false;
        wl_callback* cb = wl_display_sync(display);
        static const wl_callback_listener listener{
            [](void* data, wl_callback*, uint32_t) { *static_cast<bool*>(data) = true; }};
        wl_callback_add_listener(cb, &listener, &done);
        const bool ok = dispatchUntil([&done] { return done; });
        wl_callback_destroy(cb);
        return ok;
    }

    void watchLogical(OutputEntry& o) {
        if (!xdgManager || o.xdg) return;
        o.xdg = zxdg_output_manager_v1_get_xdg_output(xdgManager, o.output);
        static const zxdg_output_v1_listener listener{
            [](void* data, zxdg_output_v1*, int32_t x, int32_t y) {
                auto* o = static_cast<OutputEntry*>(data);
                o->info.logical.moveTopLeft(QPoint(x, y));
                o->logicalKnown = true;
            },
            [](void* data, zxdg_output_v1*, int32_t w, int32_t h) {
                auto* o = static_cast<OutputEntry*>(data);
                o->info.logical.setSize(QSize(w, h));
                o->logicalKnown = true;
            },
            [](void*, zxdg_output_v1*) {},
            [](void* data, zxdg_output_v1*, const char* name) {
                static_cast<OutputEntry*>(data)->info.name = QString::fromUtf8(name);
            },
            [](void*, zxdg_output_v1*, const char*) {},
        };
        zxdg_output_v1_add_listener(o.xdg, &listener, &o);
    }

    void addOutput(uint32_t global, uint32_t version) {
        auto o = std::make_unique<OutputEntry>();
        o->owner = this;
        o->global = global;
        o->info.name = QStringLiteral("wl_output-%1").arg(global);
        o->output = static_cast<wl_output*>(
            wl_registry_bind(registry, global, &wl_output_interface, std::min(version, 4u)));
        static const wl_output_listener listener{
            [](void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char*,
               const char*, int32_t transform) {
                auto* o = static_cast<OutputEntry*>(data);
                o->position = QPoint(x, y);
                o->info.transform = transform;
            },
            [](void* data, wl_output*, uint32_t flags, int32_t w, int32_t h, int32_t) {
                if (flags & WL_OUTPUT_MODE_CURRENT)
                    static_cast<OutputEntry*>(data)->info.mode = QSize(w, h);
            },
            [](void*, wl_output*) {},
            [](void* data, wl_output*, int32_t factor) {
                static_cast<OutputEntry*>(data)->scale = std::max(1, factor);
            },
            [](void* data, wl_output*, const char* name) {
                static_cast<OutputEntry*>(data)->info.name = QString::fromUtf8(name);
            },
            [](void*, wl_output*, const char*) {},
        };
        wl_output_add_listener(o->output, &listener, o.get());
        watchLogical(*o);
        outputs.push_back(std::move(o));
    }

    void removeGlobal(uint32_t global) {
        const auto it = std::find_if(outputs.begin(), outputs.end(),
                                     [global](const auto& o) { return o->global == global; });
        if (it == outputs.end()) return;
        release(**it);
        outputs.erase(it);
    }
};

namespace {

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t version) {
    auto* s = static_cast<WaylandScreen::State*>(data);
    if (std::strcmp(interface, wl_output_interface.name) == 0) {
        s->addOutput(name, version);
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        s->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
        s->xdgManager = static_cast<zxdg_output_manager_v1*>(wl_registry_bind(
            registry, name, &zxdg_output_manager_v1_interface, std::min(version, 3u)));
        for (auto& o : s->outputs)
            s->watchLogical(*o);
    } else if (std::strcmp(interface, zwlr_screencopy_manager_v1_interface.name) == 0) {
        s->copier = static_cast<zwlr_screencopy_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_screencopy_manager_v1_interface, 1));
    }
}

void OnGlobalRemove(void* data, wl_registry*, uint32_t name) {
    static_cast<WaylandScreen::State*>(data)->removeGlobal(name);
}

const wl_registry_listener kRegistryListener{OnGlobal, OnGlobalRemove};

} // namespace

std::unique_ptr<WaylandScreen> WaylandScreen::Connect(QString& why) {
    auto s = std::make_unique<State>();
    s->display = wl_display_connect(nullptr);
    if (!s->display) {
        const QByteArray name = qgetenv("WAYLAND_DISPLAY");
        why = QStringLiteral("Wayland のディスプレイ「%1」に接続できません。")
                  .arg(name.isEmpty() ? QStringLiteral("wayland-0") : QString::fromLocal8Bit(name));
        return nullptr;
    }
    s->registry = wl_display_get_registry(s->display);
    wl_registry_add_listener(s->registry, &kRegistryListener, s.get());
    // The globals, then what the outputs say about themselves.
    if (!s->roundtrip() || !s->roundtrip()) {
        why = QStringLiteral("Wayland のコンポジタが応答しません。");
        return nullptr;
    }
    return std::unique_ptr<WaylandScreen>(new WaylandScreen(std::move(s)));
}

WaylandScreen::WaylandScreen(std::unique_ptr<State> state) : s_(std::move(state)) {}

WaylandScreen::~WaylandScreen() = default;

QList<Output> WaylandScreen::outputs() {
    // Outputs may have come or gone since: their events wait on the connection.
    s_->roundtrip();
    QList<Output> out;
    for (const auto& o : s_->outputs) {
        Output info = o->info;
        if (!o->logicalKnown) {
            // No xdg-output: the output's own position and its mode at its scale.
            const QSize shown = ShownSize(info.mode, info.transform);
            info.logical = QRect(o->position, shown / o->scale);
        }
        out.append(info);
    }
    return out;
}

bool WaylandScreen::canCopy() const {
    return s_->copier && s_->shm;
}

QImage WaylandScreen::copy(const QString& output, QString& why) {
    const auto it = std::find_if(s_->outputs.begin(), s_->outputs.end(),
                                 [&output](const auto& o) { return o->info.name == output; });
    if (!canCopy() || it == s_->outputs.end()) {
        why = QStringLiteral("画面「%1」をコピーできません。").arg(output);
        return {};
    }
    // The output may go while the copy is made: keep what is needed of it.
    const int transform = (*it)->info.transform;
    Frame frame;
    zwlr_screencopy_frame_v1* request =
        zwlr_screencopy_manager_v1_capture_output(s_->copier, 0, (*it)->output);
    static const zwlr_screencopy_frame_v1_listener listener{
        [](void* data, zwlr_screencopy_frame_v1*, uint32_t format, uint32_t w, uint32_t h,
           uint32_t stride) {
            auto* f = static_cast<Frame*>(data);
            f->announced = true;
            f->format = format;
            f->width = w;
            f->height = h;
            f->stride = stride;
        },
        [](void* data, zwlr_screencopy_frame_v1*, uint32_t flags) {
            static_cast<Frame*>(data)->flags = flags;
        },
        [](void* data, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t) {
            static_cast<Frame*>(data)->ready = true;
        },
        [](void* data, zwlr_screencopy_frame_v1*) { static_cast<Frame*>(data)->failed = true; },
    };
    zwlr_screencopy_frame_v1_add_listener(request, &listener, &frame);
    const auto finish = [&](const QString& problem) {
        zwlr_screencopy_frame_v1_destroy(request);
        why = problem;
        return QImage();
    };
    const QString refused =
        QStringLiteral("コンポジタが画面「%1」のコピーを断りました。").arg(output);
    if (!s_->dispatchUntil([&frame] { return frame.announced || frame.failed; }))
        return finish(QStringLiteral("コンポジタが画面「%1」のコピーに応じません。").arg(output));
    if (frame.failed) return finish(refused);

    SharedBuffer shared;
    shared.size = static_cast<size_t>(frame.stride) * frame.height;
    shared.fd = memfd_create("tirelma-screen", MFD_CLOEXEC);
    if (shared.fd < 0 || ftruncate(shared.fd, static_cast<off_t>(shared.size)) != 0)
        return finish(QStringLiteral("画面のコピーに使うメモリを用意できません。"));
    shared.data = mmap(nullptr, shared.size, PROT_READ | PROT_WRITE, MAP_SHARED, shared.fd, 0);
    if (shared.data == MAP_FAILED)
        return finish(QStringLiteral("画面のコピーに使うメモリを用意できません。"));
    shared.pool = wl_shm_create_pool(s_->shm, shared.fd, static_cast<int32_t>(shared.size));
    shared.buffer = wl_shm_pool_create_buffer(shared.pool, 0, static_cast<int32_t>(frame.width),
                                              static_cast<int32_t>(frame.height),
                                              static_cast<int32_t>(frame.stride), frame.format);
    zwlr_screencopy_frame_v1_copy(request, shared.buffer);
    if (!s_->dispatchUntil([&frame] { return frame.ready || frame.failed; }))
        return finish(QStringLiteral("コンポジタが画面「%1」のコピーを終えません。").arg(output));
    if (frame.failed) return finish(refused);

    QImage buffer;
    if (!ToRgb32(static_cast<const uchar*>(shared.data), frame, buffer))
        return finish(QStringLiteral("画面「%1」の画素の形式 (0x%2) を読めません。")
                          .arg(output)
                          .arg(frame.format, 8, 16, QLatin1Char('0')));
    zwlr_screencopy_frame_v1_destroy(request);
    return ShownImage(buffer, transform, frame.flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT);
}

} // namespace platform::wayland
