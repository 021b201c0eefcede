#pragma once
// A private PulseAudio server for a test, as the tests' user, with its socket in a folder of its
// own: the SpeechMike's microphone (a pipe source that the test feeds), its speaker (a null sink
// whose monitor the test reads back), and the station's own microphone and speakers, which are
// the defaults. The Linux tests point the sound adapter at it; under Wine, PULSE_SERVER names
// the socket before the program starts (winepulse reads it once), and the server is made there.
//
//   TestSoundServer server;
//   server.Feed(Sine(TestSoundServer::kMicrophoneFormat, 1.0, 1000, -20));

#include <string>

#include "tests/support/SoundSignals.h"

namespace orvane::testing {

class TestSoundServer {
 public:
  // The server's names of its devices and what the station's settings call them.
  static constexpr const char* kSpeechMikeSource = "speechmike_in";
  static constexpr const char* kSpeechMikeSink = "speechmike_out";
  static constexpr const char* kInternalSource = "internal_in";
  static constexpr const char* kSpeakers = "speakers";
  static constexpr const char* kSpeechMikeName = "SpeechMike III";
  // What the SpeechMike's pipe takes.
  static constexpr TSoundFormat kMicrophoneFormat{TSampleType::Int16, 1, 48000};

  // Starts the server and returns once it answers.
  TestSoundServer();
  // Stops feeding, stops the server and waits for its end.
  ~TestSoundServer();
  TestSoundServer(const TestSoundServer&) = delete;
  TestSoundServer& operator=(const TestSoundServer&) = delete;

  // The server's folder, as the server sees it.
  const std::string& FolderPath() const { return folder_.unixPath; }
  // Starts pactl with these arguments against this server ("set-default-source speechmike_in").
  // It is not waited for (Wine cannot wait for a Linux program): wait for its effect.
  void Pactl(const std::string& arguments);
  // Unplugs the microphones: their pipe sources are unloaded.
  void Unplug();
  // Waits until a file of the server's folder is there, or is gone (a socket, a pipe).
  void WaitForFile(const std::string& name, bool present);
  // Feeds the SpeechMike's microphone with the signal (in kMicrophoneFormat) over and over, until
  // StopFeeding, the server's end or the microphone's unloading; only then may Feed come again.
  void Feed(const SoundSignal& signal);
  void StopFeeding();
  // Records what the SpeechMike's speaker plays, from now on, in kMicrophoneFormat.
  void RecordSpeaker();
  // What it recorded so far.
  SoundSignal SpeakerRecording() const;

 private:
  // The platform's part: the folder (as the server sees it and as this program opens it).
  struct Folder {
    std::string unixPath;
    std::string localPath;
  };
  static Folder MakeFolder();
  // What follows an unplugging on this platform, as a shell command ("" for nothing).
  static std::string AfterUnplug(const std::string& pactl);
  static void RemoveFolder(const Folder& folder);

  Folder folder_;
};

}  // namespace orvane::testing
