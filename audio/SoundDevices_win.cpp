// The sound devices through WASAPI: the endpoints of the MMDevice enumerator, capture and playback
// in shared mode, event-driven, each on a thread of its own in the multithreaded apartment. A
// stream takes the device's own mix format; a device that refuses a replay's format gets the
// samples converted to its own.
#include <windows.h>
#include <audioclient.h>
#include <mmdeviceapi.h>
#include <propidl.h>

#include <algorithm>
#include <cstring>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "audio/SoundDevices.h"
#include "platform/ComScope_win.h"
#include "platform/Port.h"
#include "platform/TextConversion.h"

namespace orvane {
namespace {

// {a45c254e-df1c-4efd-8020-67d146a850e0}, 14: the endpoint's name as the sound settings show it.
const PROPERTYKEY kFriendlyName = {{0xa45c254e, 0xdf1c, 0x4efd, {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}}, 14};
const GUID kSubtypePcm = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
const GUID kSubtypeFloat = {0x00000003, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// 20 ms of buffer: the event comes every 10 ms or so, and a figure waits for nothing longer.
constexpr REFERENCE_TIME kBufferDuration = 200000;
// A device that stopped signalling is asked how it is at least this often (ms).
constexpr DWORD kQuietBound = 500;

template <class T>
struct ComPtr {
  T* p = nullptr;
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { Reset(); }
  void Reset() {
    if (p) p->Release();
    p = nullptr;
  }
  T** operator&() { return &p; }
  T* operator->() const { return p; }
};

struct CoTaskText {
  wchar_t* text = nullptr;
  ~CoTaskText() { CoTaskMemFree(text); }
};

struct CoTaskFormat {
  WAVEFORMATEX* format = nullptr;
  ~CoTaskFormat() { CoTaskMemFree(format); }
};

TSoundFault FaultOf(HRESULT status) {
  switch (status) {
    case AUDCLNT_E_DEVICE_IN_USE:
    case AUDCLNT_E_EXCLUSIVE_MODE_ONLY: return TSoundFault::Busy;
    case AUDCLNT_E_DEVICE_INVALIDATED:
    case E_NOTFOUND: return TSoundFault::Unplugged;
    case AUDCLNT_E_SERVICE_NOT_RUNNING:
    case AUDCLNT_E_ENDPOINT_CREATE_FAILED: return TSoundFault::NoServer;
    default: return TSoundFault::Failed;
  }
}

void Check(HRESULT status, const char* what) {
  if (FAILED(status)) throw ESoundError(FaultOf(status), std::string(what) + " : " + HresultText(status));
}

void Enumerator(ComPtr<IMMDeviceEnumerator>& enumerator) {
  Check(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                         reinterpret_cast<void**>(&enumerator)),
        "MMDeviceEnumerator");
}

std::string DeviceId(IMMDevice* device) {
  CoTaskText id;
  Check(device->GetId(&id.text), "IMMDevice::GetId");
  return WideToUtf8(id.text);
}

std::string FriendlyName(IMMDevice* device) {
  ComPtr<IPropertyStore> store;
  if (FAILED(device->OpenPropertyStore(STGM_READ, &store))) return {};
  PROPVARIANT value;
  PropVariantInit(&value);
  std::string name;
  if (SUCCEEDED(store->GetValue(kFriendlyName, &value)) && value.vt == VT_LPWSTR) name = WideToUtf8(value.pwszVal);
  PropVariantClear(&value);
  return name;
}

std::vector<TSoundDevice> Endpoints(IMMDeviceEnumerator* enumerator, EDataFlow flow) {
  ComPtr<IMMDeviceCollection> collection;
  Check(enumerator->EnumAudioEndpoints(flow, DEVICE_STATE_ACTIVE, &collection), "EnumAudioEndpoints");
  UINT count = 0;
  Check(collection->GetCount(&count), "IMMDeviceCollection::GetCount");
  std::vector<TSoundDevice> devices;
  for (UINT i = 0; i < count; ++i) {
    ComPtr<IMMDevice> device;
    if (FAILED(collection->Item(i, &device))) continue;
    const std::string name = FriendlyName(device.p);
    // Under Wine, PulseAudio's monitors of the outputs come as capture endpoints: no microphone.
    if (flow == eCapture && name.rfind("Monitor of ", 0) == 0) continue;
    devices.push_back({DeviceId(device.p), name});
  }
  return devices;
}

std::string DefaultId(IMMDeviceEnumerator* enumerator, EDataFlow flow) {
  ComPtr<IMMDevice> device;
  if (FAILED(enumerator->GetDefaultAudioEndpoint(flow, eConsole, &device))) return {};
  return DeviceId(device.p);
}

// A float format of the given rate and channels.
WAVEFORMATEXTENSIBLE FloatFormat(int channels, int rate) {
  WAVEFORMATEXTENSIBLE format{};
  format.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
  format.Format.nChannels = static_cast<WORD>(channels);
  format.Format.nSamplesPerSec = static_cast<DWORD>(rate);
  format.Format.wBitsPerSample = 32;
  format.Format.nBlockAlign = static_cast<WORD>(channels * 4);
  format.Format.nAvgBytesPerSec = format.Format.nSamplesPerSec * format.Format.nBlockAlign;
  format.Format.cbSize = sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX);
  format.Samples.wValidBitsPerSample = 32;
  format.dwChannelMask = channels == 1 ? SPEAKER_FRONT_CENTER : channels == 2 ? SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT : 0;
  format.SubFormat = kSubtypeFloat;
  return format;
}

// The samples a format carries, when they are ones the check reads.
bool SampleTypeOf(const WAVEFORMATEX& format, TSampleType& type) {
  GUID subtype = format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT ? kSubtypeFloat : format.wFormatTag == WAVE_FORMAT_PCM ? kSubtypePcm : GUID{};
  if (format.wFormatTag == WAVE_FORMAT_EXTENSIBLE && format.cbSize >= 22)
    subtype = reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(format).SubFormat;
  if (IsEqualGUID(subtype, kSubtypeFloat) && format.wBitsPerSample == 32) type = TSampleType::Float32;
  else if (IsEqualGUID(subtype, kSubtypePcm) && format.wBitsPerSample == 16) type = TSampleType::Int16;
  else return false;
  return true;
}

struct Event {
  HANDLE handle = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  ~Event() { CloseHandle(handle); }
};

// A stream's thread: it joins the multithreaded apartment and runs Body(Started, Stop), which
// opens the device, calls Started once the stream runs, and returns once Stop is set or the
// stream is done. A failure before Started is thrown to the caller; one after it goes to Lost.
class StreamThread {
 public:
  template <class Body, class Lost>
  void Start(Body body, Lost lost) {
    thread_ = std::thread([this, body, lost]() mutable {
      const bool joined = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
      bool running = false;
      try {
        if (!joined) throw ESoundError(TSoundFault::Failed, "CoInitializeEx");
        body([&] {
          running = true;
          started_.set_value();
        }, stop_.handle);
      } catch (...) {
        if (!running) {
          started_.set_exception(std::current_exception());
        } else {
          try {
            throw;
          } catch (const ESoundError& e) {
            lost(e.Fault());
          } catch (...) {
            lost(TSoundFault::Failed);
          }
        }
      }
      if (joined) CoUninitialize();
    });
    try {
      started_.get_future().get();
    } catch (...) {
      thread_.join();
      throw;
    }
  }
  void Stop() {
    SetEvent(stop_.handle);
    if (thread_.joinable()) thread_.join();
  }

 private:
  Event stop_;
  std::promise<void> started_;
  std::thread thread_;
};

// Waits for the device's event or the stop; false on the stop. A device that went away stops
// signalling, so it is asked anyway now and then.
bool Wake(HANDLE stop, HANDLE ready) {
  const HANDLE events[] = {stop, ready};
  const DWORD woken = WaitForMultipleObjects(2, events, FALSE, kQuietBound);
  return woken != WAIT_OBJECT_0 && woken != WAIT_FAILED;
}

// Opens a device's audio client in shared mode with event callbacks.
void OpenClient(const std::string& id, ComPtr<IAudioClient>& client) {
  ComPtr<IMMDeviceEnumerator> enumerator;
  Enumerator(enumerator);
  ComPtr<IMMDevice> device;
  Check(enumerator->GetDevice(Utf8ToWide(id).c_str(), &device), "IMMDeviceEnumerator::GetDevice");
  Check(device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, reinterpret_cast<void**>(&client)),
        "IMMDevice::Activate");
}

class WasapiCapture : public SoundCapture {
 public:
  WasapiCapture(const std::string& id, SoundCaptureSink& sink) {
    thread_.Start([id, &sink](const auto& started, HANDLE stop) { Run(id, sink, started, stop); },
                  [&sink](TSoundFault fault) { sink.Lost(fault); });
  }
  ~WasapiCapture() override { thread_.Stop(); }

 private:
  template <class Started>
  static void Run(const std::string& id, SoundCaptureSink& sink, const Started& started, HANDLE stop) {
    ComPtr<IAudioClient> client;
    OpenClient(id, client);
    CoTaskFormat mix;
    Check(client->GetMixFormat(&mix.format), "IAudioClient::GetMixFormat");
    TSoundFormat format{TSampleType::Float32, mix.format->nChannels, static_cast<int>(mix.format->nSamplesPerSec)};
    // Shared mode delivers the mix format; one the check cannot read is converted to float.
    WAVEFORMATEXTENSIBLE asked = FloatFormat(format.channels, format.rate);
    const WAVEFORMATEX* wanted = SampleTypeOf(*mix.format, format.type) ? mix.format : &asked.Format;
    const DWORD convert = wanted == mix.format ? 0 : AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM | AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY;
    Check(client->Initialize(AUDCLNT_SHAREMODE_SHARED, AUDCLNT_STREAMFLAGS_EVENTCALLBACK | convert, kBufferDuration, 0,
                             wanted, nullptr),
          "IAudioClient::Initialize");
    Event ready;
    Check(client->SetEventHandle(ready.handle), "IAudioClient::SetEventHandle");
    ComPtr<IAudioCaptureClient> capture;
    Check(client->GetService(__uuidof(IAudioCaptureClient), reinterpret_cast<void**>(&capture)), "IAudioClient::GetService");
    Check(client->Start(), "IAudioClient::Start");
    started();

    std::vector<unsigned char> silence;
    while (Wake(stop, ready.handle)) {
      // The client's state, which a device that went away no longer has.
      UINT32 padding = 0;
      Check(client->GetCurrentPadding(&padding), "IAudioClient::GetCurrentPadding");
      UINT32 packet = 0;
      for (;;) {
        Check(capture->GetNextPacketSize(&packet), "IAudioCaptureClient::GetNextPacketSize");
        if (packet == 0) break;
        BYTE* data = nullptr;
        UINT32 frames = 0;
        DWORD flags = 0;
        Check(capture->GetBuffer(&data, &frames, &flags, nullptr, nullptr), "IAudioCaptureClient::GetBuffer");
        const void* samples = data;
        if (flags & AUDCLNT_BUFFERFLAGS_SILENT) {
          silence.assign(frames * format.FrameBytes(), 0);
          samples = silence.data();
        }
        sink.Captured(TSoundBlock{samples, frames, format});
        Check(capture->ReleaseBuffer(frames), "IAudioCaptureClient::ReleaseBuffer");
      }
    }
    client->Stop();
  }

  StreamThread thread_;
};

class WasapiPlayback : public SoundPlayback {
 public:
  WasapiPlayback(const std::string& id, const TSoundBuffer& samples) {
    thread_.Start(
        [this, id, samples](const auto& started, HANDLE stop) {
          if (Run(id, samples, started, stop)) Finish(TSoundFault::None);
        },
        [this](TSoundFault fault) { Finish(fault); });
  }
  ~WasapiPlayback() override { thread_.Stop(); }

 private:
  // True once every sample was played, false when stopped before.
  template <class Started>
  static bool Run(const std::string& id, TSoundBuffer samples, const Started& started, HANDLE stop) {
    ComPtr<IAudioClient> client;
    OpenClient(id, client);
    WAVEFORMATEXTENSIBLE asked = FloatFormat(samples.channels, samples.rate);
    HRESULT status = client->Initialize(AUDCLNT_SHAREMODE_SHARED, AUDCLNT_STREAMFLAGS_EVENTCALLBACK, kBufferDuration, 0,
                                        &asked.Format, nullptr);
    if (status == AUDCLNT_E_UNSUPPORTED_FORMAT) {
      // The device takes only its own format: the samples are converted to it.
      CoTaskFormat mix;
      Check(client->GetMixFormat(&mix.format), "IAudioClient::GetMixFormat");
      samples = ConvertSoundBuffer(samples, mix.format->nChannels, static_cast<int>(mix.format->nSamplesPerSec));
      asked = FloatFormat(samples.channels, samples.rate);
      client.Reset();
      OpenClient(id, client);
      status = client->Initialize(AUDCLNT_SHAREMODE_SHARED,
                                  AUDCLNT_STREAMFLAGS_EVENTCALLBACK | AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM, kBufferDuration,
                                  0, &asked.Format, nullptr);
    }
    Check(status, "IAudioClient::Initialize");
    Event ready;
    Check(client->SetEventHandle(ready.handle), "IAudioClient::SetEventHandle");
    UINT32 bufferFrames = 0;
    Check(client->GetBufferSize(&bufferFrames), "IAudioClient::GetBufferSize");
    ComPtr<IAudioRenderClient> render;
    Check(client->GetService(__uuidof(IAudioRenderClient), reinterpret_cast<void**>(&render)), "IAudioClient::GetService");
    const size_t channels = static_cast<size_t>(samples.channels);
    const size_t total = samples.Frames();
    size_t written = 0;
    // Fills what the device has room for; once everything is written, waits for it to drain.
    const auto fill = [&] {
      UINT32 padding = 0;
      Check(client->GetCurrentPadding(&padding), "IAudioClient::GetCurrentPadding");
      const UINT32 room = bufferFrames - padding;
      const UINT32 frames = static_cast<UINT32>(std::min<size_t>(room, total - written));
      if (frames > 0) {
        BYTE* data = nullptr;
        Check(render->GetBuffer(frames, &data), "IAudioRenderClient::GetBuffer");
        std::memcpy(data, samples.samples.data() + written * channels, frames * channels * sizeof(float));
        Check(render->ReleaseBuffer(frames, 0), "IAudioRenderClient::ReleaseBuffer");
        written += frames;
      }
      return written == total && padding == 0;
    };
    fill();
    Check(client->Start(), "IAudioClient::Start");
    started();
    bool done = false;
    while (!done && Wake(stop, ready.handle)) done = fill();
    client->Stop();
    return done;
  }

  StreamThread thread_;
};

class WasapiSoundDevices : public SoundDevices {
 public:
  TSoundDeviceList Devices() override {
    ScopedComApartment apartment;
    ComPtr<IMMDeviceEnumerator> enumerator;
    Enumerator(enumerator);
    TSoundDeviceList list;
    list.capture = Endpoints(enumerator.p, eCapture);
    list.playback = Endpoints(enumerator.p, eRender);
    list.defaultCapture = DefaultId(enumerator.p, eCapture);
    list.defaultPlayback = DefaultId(enumerator.p, eRender);
    return list;
  }

  std::unique_ptr<SoundCapture> Capture(const std::string& id, SoundCaptureSink& sink) override {
    return std::make_unique<WasapiCapture>(id, sink);
  }

  std::unique_ptr<SoundPlayback> Play(const std::string& id, const TSoundBuffer& samples) override {
    return std::make_unique<WasapiPlayback>(id, samples);
  }
};

}  // namespace

template <>
SoundDevices& PlatformAdapter<SoundDevices>() {
  static WasapiSoundDevices devices;
  return devices;
}

}  // namespace orvane
