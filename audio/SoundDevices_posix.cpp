// The sound devices through the PulseAudio client library: its asynchronous API on a threaded
// main loop of its own, one connection to the sound service, made again when it was lost. The
// loop's thread calls back with the loop's lock held; the window thread takes that lock only to
// start, query and stop, and waits (lock released) for the answers with a bound, so that a sound
// service that stops answering never holds the window.
#include <pulse/pulseaudio.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "audio/SoundDevices.h"
#include "platform/Port.h"

namespace orvane {
namespace {

constexpr pa_usec_t kAnswerBound = 10 * PA_USEC_PER_SEC;
// Blocks of 10 ms: a figure is never held back for long behind a large transfer.
constexpr pa_usec_t kBlockDuration = 10 * PA_USEC_PER_MSEC;

TSoundFault FaultOfError(int error) {
  switch (error) {
    case PA_ERR_NOENTITY:
    case PA_ERR_KILLED: return TSoundFault::Unplugged;
    case PA_ERR_BUSY: return TSoundFault::Busy;
    case PA_ERR_CONNECTIONREFUSED:
    case PA_ERR_CONNECTIONTERMINATED:
    case PA_ERR_TIMEOUT: return TSoundFault::NoServer;
    default: return TSoundFault::Failed;
  }
}

class Loop {
 public:
  Loop() : loop_(pa_threaded_mainloop_new()) {
    pa_threaded_mainloop_set_name(loop_, "orvane-sound");
    pa_threaded_mainloop_start(loop_);
  }
  ~Loop() {
    Lock();
    DropContext();
    Unlock();
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
  }

  void Lock() { pa_threaded_mainloop_lock(loop_); }
  void Unlock() { pa_threaded_mainloop_unlock(loop_); }
  static void Signal(void* loop) { pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0); }
  pa_threaded_mainloop* Handle() const { return loop_; }

  // With the lock held: waits until Done holds or the service has not answered within the bound;
  // false on the bound.
  bool WaitFor(const std::function<bool()>& done) {
    struct Bound {
      pa_threaded_mainloop* loop;
      bool passed = false;
    } bound{loop_};
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
    timeval when;
    pa_timeval_add(pa_gettimeofday(&when), kAnswerBound);
    pa_time_event* timer = api->time_new(
        api, &when,
        [](pa_mainloop_api*, pa_time_event*, const timeval*, void* data) {
          auto* b = static_cast<Bound*>(data);
          b->passed = true;
          Signal(b->loop);
        },
        &bound);
    while (!done() && !bound.passed) pa_threaded_mainloop_wait(loop_);
    api->time_free(timer);
    return done();
  }

  // With the lock held: the connection, made when there is none or it was lost.
  pa_context* Context() {
    if (context_ && pa_context_get_state(context_) == PA_CONTEXT_READY) return context_;
    DropContext();
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Orvane");
    pa_context_set_state_callback(context_, [](pa_context*, void* loop) { Signal(loop); }, loop_);
    // No server started on our behalf: a station without one is a fault to show.
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
      WaitFor([this] {
        const pa_context_state_t state = pa_context_get_state(context_);
        return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
      });
    }
    if (pa_context_get_state(context_) != PA_CONTEXT_READY) {
      const std::string detail = pa_strerror(pa_context_errno(context_));
      DropContext();
      throw ESoundError(TSoundFault::NoServer, detail);
    }
    return context_;
  }

  [[noreturn]] void Throw(TSoundFault fallback) {
    const int error = context_ ? pa_context_errno(context_) : PA_ERR_CONNECTIONTERMINATED;
    const TSoundFault fault = FaultOfError(error);
    throw ESoundError(fault == TSoundFault::Failed ? fallback : fault, pa_strerror(error));
  }

 private:
  void DropContext() {
    if (!context_) return;
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
  }

  pa_threaded_mainloop* loop_;
  pa_context* context_ = nullptr;
};

class Locked {
 public:
  explicit Locked(Loop& loop) : loop_(loop) { loop_.Lock(); }
  ~Locked() { loop_.Unlock(); }

 private:
  Loop& loop_;
};

// With the lock held: waits for an operation's end, then lets it go.
void Await(Loop& loop, pa_operation* operation) {
  if (!operation) loop.Throw(TSoundFault::Failed);
  pa_operation_set_state_callback(operation, [](pa_operation*, void* l) { Loop::Signal(l); }, loop.Handle());
  const bool done = loop.WaitFor([operation] { return pa_operation_get_state(operation) != PA_OPERATION_RUNNING; });
  if (!done) pa_operation_cancel(operation);
  pa_operation_unref(operation);
  if (!done) throw ESoundError(TSoundFault::NoServer, "le service audio ne répond plus");
}

// A stream of the connection; with the lock held it is made, connected and released.
class Stream {
 public:
  Stream(Loop& loop, const char* name, const pa_sample_spec& sampleFormat) : loop_(loop) {
    stream_ = pa_stream_new(loop.Context(), name, &sampleFormat, nullptr);
    if (!stream_) loop.Throw(TSoundFault::Failed);
  }
  ~Stream() {
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_set_read_callback(stream_, nullptr, nullptr);
    pa_stream_set_write_callback(stream_, nullptr, nullptr);
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
  }
  pa_stream* Handle() const { return stream_; }

  // Waits for the stream's connection; a refusal is thrown with the service's reason.
  void AwaitReady() {
    const bool answered = loop_.WaitFor([this] {
      const pa_stream_state_t state = pa_stream_get_state(stream_);
      return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
    });
    if (!answered) throw ESoundError(TSoundFault::NoServer, "le service audio ne répond plus");
    if (pa_stream_get_state(stream_) != PA_STREAM_READY) loop_.Throw(TSoundFault::Failed);
  }

  // The fault of a stream that ended by itself.
  TSoundFault EndFault() const {
    return FaultOfError(pa_context_errno(pa_stream_get_context(stream_)));
  }

 private:
  Loop& loop_;
  pa_stream* stream_;
};

class PulseCapture : public SoundCapture {
 public:
  PulseCapture(Loop& loop, const std::string& id, const pa_sample_spec& sampleFormat, SoundCaptureSink& sink)
      : loop_(loop), sink_(sink), format_{sampleFormat.format == PA_SAMPLE_S16NE ? TSampleType::Int16 : TSampleType::Float32,
                                          sampleFormat.channels, static_cast<int>(sampleFormat.rate)} {
    stream_ = std::make_unique<Stream>(loop, "Son du micro", sampleFormat);
    pa_stream* s = stream_->Handle();
    pa_stream_set_state_callback(s, &PulseCapture::OnState, this);
    pa_stream_set_read_callback(s, &PulseCapture::OnRead, this);
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<uint32_t>(-1);
    attributes.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(kBlockDuration, &sampleFormat));
    // Never moved to another source: a SpeechMike that goes away is a fault, not another microphone.
    const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE);
    if (pa_stream_connect_record(s, id.c_str(), &attributes, flags) < 0) loop.Throw(TSoundFault::Failed);
    stream_->AwaitReady();
    started_ = true;
  }
  ~PulseCapture() override {
    Locked lock(loop_);
    stream_.reset();
  }

 private:
  static void OnState(pa_stream* s, void* data) {
    auto* self = static_cast<PulseCapture*>(data);
    Loop::Signal(self->loop_.Handle());
    const pa_stream_state_t state = pa_stream_get_state(s);
    if (self->started_ && !self->lost_ && (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED)) {
      self->lost_ = true;
      self->sink_.Lost(self->stream_->EndFault());
    }
  }
  static void OnRead(pa_stream* s, size_t, void* data) {
    auto* self = static_cast<PulseCapture*>(data);
    const void* samples = nullptr;
    size_t bytes = 0;
    while (pa_stream_readable_size(s) > 0 && pa_stream_peek(s, &samples, &bytes) == 0 && bytes > 0) {
      // A hole (no samples) is skipped.
      if (samples) self->sink_.Captured(TSoundBlock{samples, bytes / self->format_.FrameBytes(), self->format_});
      pa_stream_drop(s);
    }
  }

  Loop& loop_;
  SoundCaptureSink& sink_;
  TSoundFormat format_;
  std::unique_ptr<Stream> stream_;
  bool started_ = false;
  bool lost_ = false;
};

class PulsePlayback : public SoundPlayback {
 public:
  PulsePlayback(Loop& loop, const std::string& id, const TSoundBuffer& samples) : loop_(loop), samples_(samples.samples) {
    const pa_sample_spec sampleFormat{PA_SAMPLE_FLOAT32NE, static_cast<uint32_t>(samples.rate), static_cast<uint8_t>(samples.channels)};
    if (!pa_sample_spec_valid(&sampleFormat)) throw ESoundError(TSoundFault::Failed, "format de lecture invalide");
    stream_ = std::make_unique<Stream>(loop, "Réécoute du micro", sampleFormat);
    pa_stream* s = stream_->Handle();
    pa_stream_set_state_callback(s, &PulsePlayback::OnState, this);
    pa_stream_set_write_callback(s, &PulsePlayback::OnWrite, this);
    if (pa_stream_connect_playback(s, id.c_str(), nullptr, PA_STREAM_DONT_MOVE, nullptr, nullptr) < 0)
      loop.Throw(TSoundFault::Failed);
    stream_->AwaitReady();
  }
  ~PulsePlayback() override {
    Locked lock(loop_);
    stream_.reset();
  }

 private:
  void End(TSoundFault fault) {
    if (ended_) return;
    ended_ = true;
    Finish(fault);
  }
  static void OnState(pa_stream* s, void* data) {
    auto* self = static_cast<PulsePlayback*>(data);
    Loop::Signal(self->loop_.Handle());
    const pa_stream_state_t state = pa_stream_get_state(s);
    if (self->stream_ && (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED)) self->End(self->stream_->EndFault());
  }
  static void OnWrite(pa_stream* s, size_t bytes, void* data) {
    auto* self = static_cast<PulsePlayback*>(data);
    const size_t left = (self->samples_.size() - self->written_) * sizeof(float);
    const size_t count = std::min(bytes, left) / sizeof(float);
    if (count > 0) {
      pa_stream_write(s, self->samples_.data() + self->written_, count * sizeof(float), nullptr, 0, PA_SEEK_RELATIVE);
      self->written_ += count;
    }
    if (self->written_ < self->samples_.size()) return;
    // Everything is queued: finished once the device has played it.
    pa_stream_set_write_callback(s, nullptr, nullptr);
    pa_operation* drain = pa_stream_drain(
        s, [](pa_stream*, int success, void* data) {
          static_cast<PulsePlayback*>(data)->End(success ? TSoundFault::None : TSoundFault::Failed);
        },
        self);
    if (drain) pa_operation_unref(drain);
  }

  Loop& loop_;
  std::vector<float> samples_;
  size_t written_ = 0;
  bool ended_ = false;
  std::unique_ptr<Stream> stream_;
};

class PulseSoundDevices : public SoundDevices {
 public:
  TSoundDeviceList Devices() override {
    Locked lock(loop_);
    pa_context* context = loop_.Context();
    TSoundDeviceList list;
    Await(loop_, pa_context_get_server_info(
                     context,
                     [](pa_context*, const pa_server_info* info, void* data) {
                       auto* list = static_cast<TSoundDeviceList*>(data);
                       if (info && info->default_source_name) list->defaultCapture = info->default_source_name;
                       if (info && info->default_sink_name) list->defaultPlayback = info->default_sink_name;
                     },
                     &list));
    // A sink's monitor is no microphone.
    Await(loop_, pa_context_get_source_info_list(
                     context,
                     [](pa_context*, const pa_source_info* info, int eol, void* data) {
                       if (eol || !info || info->monitor_of_sink != PA_INVALID_INDEX) return;
                       static_cast<TSoundDeviceList*>(data)->capture.push_back({info->name, info->description});
                     },
                     &list));
    Await(loop_, pa_context_get_sink_info_list(
                     context,
                     [](pa_context*, const pa_sink_info* info, int eol, void* data) {
                       if (eol || !info) return;
                       static_cast<TSoundDeviceList*>(data)->playback.push_back({info->name, info->description});
                     },
                     &list));
    return list;
  }

  std::unique_ptr<SoundCapture> Capture(const std::string& id, SoundCaptureSink& sink) override {
    Locked lock(loop_);
    // The source's own rate and channels, in 16-bit when it delivers 16-bit: no conversion.
    struct Found {
      bool found = false;
      pa_sample_spec sampleFormat{};
    } source;
    Await(loop_, pa_context_get_source_info_by_name(
                     loop_.Context(), id.c_str(),
                     [](pa_context*, const pa_source_info* info, int eol, void* data) {
                       if (eol || !info) return;
                       auto* found = static_cast<Found*>(data);
                       found->found = true;
                       found->sampleFormat = info->sample_spec;
                     },
                     &source));
    if (!source.found) throw ESoundError(TSoundFault::Unplugged, "source « " + id + " » absente");
    pa_sample_spec sampleFormat = source.sampleFormat;
    sampleFormat.format = sampleFormat.format == PA_SAMPLE_S16NE ? PA_SAMPLE_S16NE : PA_SAMPLE_FLOAT32NE;
    return std::make_unique<PulseCapture>(loop_, id, sampleFormat, sink);
  }

  std::unique_ptr<SoundPlayback> Play(const std::string& id, const TSoundBuffer& samples) override {
    Locked lock(loop_);
    return std::make_unique<PulsePlayback>(loop_, id, samples);
  }

 private:
  Loop loop_;
};

}  // namespace

template <>
SoundDevices& PlatformAdapter<SoundDevices>() {
  static PulseSoundDevices devices;
  return devices;
}

}  // namespace orvane
