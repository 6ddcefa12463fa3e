// Frames put into the window straight through X11 shared memory, on a connection of the
// host's own. SDL's window surface takes the same way but waits for the server after
// every update (a round trip and one more wake-up a frame); here the put only asks the
// server to say when it has read the picture, and the next frame waits for that word
// before it draws, by which time it has long arrived. The picture keeps what it showed,
// so a frame costs only its changed regions; when the window's size or the frame's
// placement changes, the whole frame is put and the server paints the black around it.
#include "hosts/sdl/presenter.h"

#if defined(ORV_X_SHM)
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "hosts/sdl/frame_conversion.h"
#include "hosts/sdl/frame_placement.h"
#include "hosts/sdl/page_prefault.h"
#endif

namespace orv::platform::sdl {
#if defined(ORV_X_SHM)
namespace {

// Whether the server shares memory with this process: only over a local connection.
bool IsLocalDisplay(const char* name) {
  return name != nullptr && (name[0] == ':' || std::strncmp(name, "unix:", 5) == 0);
}

// Xlib's error handler is the process's; it is swapped only around the attach, which a
// server elsewhere refuses.
bool attach_refused = false;
int NoteAttachRefused(Display*, XErrorEvent*) {
  attach_refused = true;
  return 0;
}

// The shift of a channel given by a contiguous 8-bit mask, or -1.
int ChannelShift(unsigned long mask) {
  if (mask == 0)
    return -1;
  const int shift = std::countr_zero(mask);
  return (mask >> shift) == 0xFF ? shift : -1;
}

class XShmPresenter : public Presenter {
 public:
  XShmPresenter(SDL_Window* sdl_window, Display* display, Window window, Visual* visual, int depth,
                const PixelLayout& layout)
      : sdl_window_(sdl_window),
        display_(display),
        window_(window),
        visual_(visual),
        depth_(depth),
        layout_(layout),
        completion_type_(XShmGetEventBase(display) + ShmCompletion),
        gc_(MakeGc(display, window)) {}

  ~XShmPresenter() override {
    DestroyPicture();
    XFreeGC(display_, gc_);
    XCloseDisplay(display_);
  }

  PresentPath path() const override { return PresentPath::kWindowSurface; }

  // Whether the server takes pictures this way: makes a first one, of the window's size.
  bool Ready() {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(sdl_window_, &width, &height);
    return MakePicture(std::max(width, 1), std::max(height, 1));
  }

  void Prepare(int frame_width, int frame_height) override {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(sdl_window_, &width, &height);
    if (width <= 0 || height <= 0 ||
        (image_ != nullptr && image_->width == width && image_->height == height)) {
      return;
    }
    if (MakePicture(width, height))
      PrefaultRows(
          PlacedFrameArea(frame_width, frame_height,
                          FitFrame(width, height, frame_width, frame_height), width, height),
          0);
  }

  std::size_t Show(const PresentedFrame& frame, const std::vector<changes::Region>& regions,
                   bool whole) override {
    if (!whole && regions.empty())
      return 0;
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(sdl_window_, &width, &height);
    if (width <= 0 || height <= 0)
      return 0;
    const bool fresh = image_ == nullptr || image_->width != width || image_->height != height;
    if (fresh && !MakePicture(width, height))
      return 0;
    const Placed placed{width, height, frame.width, frame.height};
    whole = whole || fresh || !(placed == placed_);
    placed_ = placed;
    AwaitPut();

    const PaletteLut lut =
        frame.palette != nullptr ? MakePaletteLut(frame.palette, layout_) : PaletteLut{};
    const FramePlacement placement = FitFrame(width, height, frame.width, frame.height);
    const TargetPicture picture{reinterpret_cast<std::uint32_t*>(image_->data), width, height,
                                image_->bytes_per_line};
    std::size_t bytes = 0;
    if (whole) {
      // The server paints the black around the frame itself; only the frame is put.
      const TargetArea area = PlacedFrameArea(frame.width, frame.height, placement, width, height);
      FillSurround(area, width, height);
      if (fresh)
        PrefaultRows(area, area.height / 2);
      if (!area.empty()) {
        DrawFrameRegion(frame, lut, placement, {0, 0, frame.width, frame.height}, picture);
        Put(area, true);
        bytes = static_cast<std::size_t>(area.width) * area.height * 4;
      }
      prefault_.reset();
    } else {
      std::optional<TargetArea> last;
      for (const changes::Region& region : regions) {
        const TargetArea area = DrawFrameRegion(frame, lut, placement, region, picture);
        if (area.empty())
          continue;
        if (last)
          Put(*last, false);
        last = area;
        bytes += static_cast<std::size_t>(area.width) * area.height * 4;
      }
      if (last)
        Put(*last, true);
    }
    XFlush(display_);
    // A whole frame is megabytes for the server to copy: it counts as shown once the
    // server has, as through SDL's window surface.
    if (whole)
      AwaitPut();
    return bytes;
  }

  // What the server shows in the window.
  bool ReadPicture(const PresentedFrame&, std::vector<std::uint32_t>& pixels, int& width,
                   int& height) override {
    if (image_ == nullptr)
      return false;
    AwaitPut();
    width = image_->width;
    height = image_->height;
    XImage* shown = XGetImage(display_, window_, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (shown == nullptr)
      return false;
    pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const auto pixel = static_cast<std::uint32_t>(XGetPixel(shown, x, y));
        pixels[static_cast<std::size_t>(y) * width + x] =
            (((pixel >> layout_.red_shift) & 0xFF) << 16) |
            (((pixel >> layout_.green_shift) & 0xFF) << 8) | ((pixel >> layout_.blue_shift) & 0xFF);
      }
    }
    XDestroyImage(shown);
    return true;
  }

 private:
  // Fresh shared memory gets its pages at the first touch, a stop in the kernel for each:
  // the rows of `area` from `from_row` on get theirs on another thread meanwhile.
  void PrefaultRows(const TargetArea& area, int from_row) {
    prefault_.reset();
    if (area.empty())
      return;
    const auto pitch = static_cast<std::size_t>(image_->bytes_per_line);
    prefault_.emplace(image_->data + static_cast<std::size_t>(area.y + from_row) * pitch,
                      static_cast<std::size_t>(area.height - from_row) * pitch);
  }

  // Black on the window wherever `area` does not cover it.
  void FillSurround(const TargetArea& area, int width, int height) {
    XRectangle bands[4];
    int count = 0;
    const auto band = [&](int x, int y, int w, int h) {
      if (w > 0 && h > 0) {
        bands[count++] = {static_cast<short>(x), static_cast<short>(y),
                          static_cast<unsigned short>(w), static_cast<unsigned short>(h)};
      }
    };
    if (area.empty()) {
      band(0, 0, width, height);
    } else {
      band(0, 0, width, area.y);
      band(0, area.y + area.height, width, height - area.y - area.height);
      band(0, area.y, area.x, area.height);
      band(area.x + area.width, area.y, width - area.x - area.width, area.height);
    }
    if (count > 0)
      XFillRectangles(display_, window_, gc_, bands, count);
  }

  // Puts make no exposure events, which would wait in the queue for no one.
  static GC MakeGc(Display* display, Window window) {
    XGCValues values{};
    values.graphics_exposures = False;
    values.foreground = 0;  // black, for the surround
    return XCreateGC(display, window, GCGraphicsExposures | GCForeground, &values);
  }

  struct Placed {
    int window_width = 0;
    int window_height = 0;
    int frame_width = 0;
    int frame_height = 0;
    bool operator==(const Placed&) const = default;
  };

  // Only the last put of a frame asks for word of its completion: the server handles a
  // connection's requests in order.
  void Put(const TargetArea& area, bool last) {
    XShmPutImage(display_, window_, gc_, image_, area.x, area.y, area.x, area.y,
                 static_cast<unsigned>(area.width), static_cast<unsigned>(area.height),
                 last ? True : False);
    put_pending_ = put_pending_ || last;
  }

  // Returns once the server has read the picture put last, which must not change before.
  void AwaitPut() {
    if (!put_pending_)
      return;
    XEvent event;
    put_pending_ = false;
    // By the next frame the word has long come: one read without waiting finds it.
    if (XCheckTypedEvent(display_, completion_type_, &event) == True)
      return;
    XIfEvent(
        display_, &event,
        [](Display*, XEvent* candidate, XPointer type) {
          return candidate->type == *reinterpret_cast<int*>(type) ? True : False;
        },
        reinterpret_cast<XPointer>(&completion_type_));
  }

  bool MakePicture(int width, int height) {
    DestroyPicture();
    placed_ = {};
    image_ =
        XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr,
                        &segment_, static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (image_ == nullptr)
      return false;
    if (image_->bits_per_pixel != 32) {
      DestroyPicture();
      return false;
    }
    segment_.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(image_->bytes_per_line) * height,
                            IPC_CREAT | 0600);
    if (segment_.shmid < 0) {
      DestroyPicture();
      return false;
    }
    void* memory = shmat(segment_.shmid, nullptr, 0);
    if (memory == reinterpret_cast<void*>(-1)) {
      shmctl(segment_.shmid, IPC_RMID, nullptr);
      segment_.shmid = -1;
      DestroyPicture();
      return false;
    }
    segment_.shmaddr = image_->data = static_cast<char*>(memory);
    segment_.readOnly = False;
    attach_refused = false;
    XErrorHandler previous = XSetErrorHandler(NoteAttachRefused);
    const bool attached = XShmAttach(display_, &segment_) != 0;
    XSync(display_, False);
    XSetErrorHandler(previous);
    // Marked for removal now, the segment goes when both sides have let go of it.
    shmctl(segment_.shmid, IPC_RMID, nullptr);
    attached_ = attached && !attach_refused;
    if (!attached_) {
      DestroyPicture();
      return false;
    }
    return true;
  }

  void DestroyPicture() {
    if (image_ == nullptr)
      return;
    prefault_.reset();
    AwaitPut();
    if (attached_)
      XShmDetach(display_, &segment_);
    attached_ = false;
    if (segment_.shmaddr != nullptr)
      shmdt(segment_.shmaddr);
    segment_ = {};
    image_->data = nullptr;
    XDestroyImage(image_);
    image_ = nullptr;
  }

  SDL_Window* sdl_window_;
  Display* display_;
  Window window_;
  Visual* visual_;
  int depth_;
  PixelLayout layout_;
  int completion_type_;
  GC gc_;
  XImage* image_ = nullptr;
  XShmSegmentInfo segment_{};
  bool attached_ = false;
  bool put_pending_ = false;
  Placed placed_;
  std::optional<PagePrefault> prefault_;
};

}  // namespace

class XConnectionAhead {
 public:
  explicit XConnectionAhead(std::string name)
      : name_(std::move(name)), opener_([this] { display_ = XOpenDisplay(name_.c_str()); }) {}
  ~XConnectionAhead() {
    if (opener_.joinable())
      opener_.join();
    if (display_ != nullptr)
      XCloseDisplay(display_);
  }
  XConnectionAhead(const XConnectionAhead&) = delete;
  XConnectionAhead& operator=(const XConnectionAhead&) = delete;

  // The connection, once open, when it goes to the server `name` names; the caller owns it.
  Display* Take(const char* name) {
    if (opener_.joinable())
      opener_.join();
    if (display_ == nullptr || std::strcmp(DisplayString(display_), name) != 0)
      return nullptr;
    return std::exchange(display_, nullptr);
  }

 private:
  std::string name_;
  Display* display_ = nullptr;
  std::thread opener_;  // last: starts once the rest is made
};

void XConnectionAheadDeleter::operator()(XConnectionAhead* connection) const {
  delete connection;
}

XConnectionAheadPtr OpenXConnectionAhead() {
  const char* name = std::getenv("DISPLAY");
  if (!IsLocalDisplay(name) || XInitThreads() == 0)
    return nullptr;
  return XConnectionAheadPtr(new XConnectionAhead(name));
}

std::unique_ptr<Presenter> MakeXShmPresenter(SDL_Window* window, XConnectionAhead* ahead) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
      info.subsystem != SDL_SYSWM_X11) {
    return nullptr;
  }
  const char* name = DisplayString(info.info.x11.display);
  if (!IsLocalDisplay(name))
    return nullptr;
  Display* display = ahead != nullptr ? ahead->Take(name) : nullptr;
  if (display == nullptr)
    display = XOpenDisplay(name);
  if (display == nullptr)
    return nullptr;
  XWindowAttributes attributes{};
  const bool usable =
      XShmQueryExtension(display) == True &&
      XGetWindowAttributes(display, info.info.x11.window, &attributes) != 0 &&
      attributes.visual != nullptr &&
      (attributes.visual->c_class == TrueColor || attributes.visual->c_class == DirectColor);
  // SDL gives its windows a DirectColor visual where there is one, with colour maps that
  // pass each channel through unchanged: pixels are made the same way as for TrueColor.
  PixelLayout layout;
  if (usable) {
    layout.red_shift = ChannelShift(attributes.visual->red_mask);
    layout.green_shift = ChannelShift(attributes.visual->green_mask);
    layout.blue_shift = ChannelShift(attributes.visual->blue_mask);
    // A 32-bit visual has alpha in the bits the channels leave.
    if (attributes.depth == 32) {
      layout.opaque =
          ~static_cast<std::uint32_t>(attributes.visual->red_mask | attributes.visual->green_mask |
                                      attributes.visual->blue_mask);
    }
  }
  if (!usable || layout.red_shift < 0 || layout.green_shift < 0 || layout.blue_shift < 0 ||
      (attributes.depth != 24 && attributes.depth != 32)) {
    XCloseDisplay(display);
    return nullptr;
  }
  auto presenter = std::make_unique<XShmPresenter>(window, display, info.info.x11.window,
                                                   attributes.visual, attributes.depth, layout);
  if (!presenter->Ready())
    return nullptr;
  return presenter;
}
#else
class XConnectionAhead {};

void XConnectionAheadDeleter::operator()(XConnectionAhead* connection) const {
  delete connection;
}

XConnectionAheadPtr OpenXConnectionAhead() {
  return nullptr;
}

std::unique_ptr<Presenter> MakeXShmPresenter(SDL_Window*, XConnectionAhead*) {
  return nullptr;
}
#endif

}  // namespace orv::platform::sdl
